#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/ReportName.h"
#include "update/records/VersionFile.h"
#include "update/signature/ReleaseSignature.h"
#include "update/transfer/HttpReceive.h"
#include "update/transfer/TransferBounds.h"

namespace gapwell {

class clsDownload;

// Where one Live Update runs and what it trusts.
struct LiveUpdateSettings {
    std::string currentVersion;  // the program's own version text
    std::string versionUrl;      // the version file in the update folder
    ArchiveRules rules;          // the update folder's URL and the program's own file name
    // The temporary files' names: each goes into a fresh folder of the program's own in the
    // folder named here (see PrivateTempFile).
    std::string versionTempFile;  // where the version file is downloaded to
    std::string signatureTempFile;
    std::string updatesFolder;  // with a trailing "/"
    std::string publicKey;      // base64; empty: no signature is asked for
    // What failures of the local steps are reported as: preparing a transfer (the version
    // file's temporary file, the updates folder), handling a completed one (reading the version
    // file, checking the archive), and the installation.
    ReportName startReport;
    ReportName completionReport;
    ReportName installReport;
};

// What became of the archive, and why.
enum class ArchiveFetch {
    Accepted,
    NoUpdate,           // the check found no update to fetch
    FolderNotPrepared,  // the updates folder could not be made safe to download into
    TransferFailed,
    Cancelled,  // by the downloader's owner, during the transfers or their check
    Refused,    // no valid signature for the offered version
};

struct FetchedArchive {
    ArchiveFetch outcome = ArchiveFetch::NoUpdate;
    std::int32_t totalBytes = 0;  // of the accepted archive; 0 otherwise

    bool operator==(const FetchedArchive&) const = default;
};

// The outcome of the version check.
struct VersionCheck {
    std::int32_t totalBytes = 0;  // of the version file; 0 when its transfer failed
    VersionOffer offer;           // unusable unless the file arrived and its line is usable
    std::string releaseNotes;     // of a usable line, safe to show (ReleaseNotes.h); may be ""
    bool updateAvailable = false;
};

// The whole Live Update sequence without a window: check for an update, fetch and accept the
// archive, install it. Every transfer goes through `downloader`, whose owner sees its progress
// and waiting events and may cancel it. Failures of the local steps are reported through the
// error handler under the names the settings give; nothing a server sends gets further than an
// unusable line or a refused archive.
class LiveUpdate {
  public:
    LiveUpdate(clsDownload& downloader, LiveUpdateSettings settings);

    // Downloads the version file within `bounds`, reads its first line and release notes (a failed
    // read is reported; Retry reads the file again, as it is kept until it was read or given up),
    // deletes it, and compares the offered version with the program's own.
    VersionCheck CheckForUpdate(const TransferBounds& bounds);
    // The last check's outcome (nothing found before the first).
    const VersionCheck& LastCheck() const { return check_; }

    // Where the offered archive goes: the updates folder + the archive's file name.
    std::string ArchivePath() const;

    // After a check that found an update: empties the updates folder of files, downloads the
    // archive into it (created anew, mode 0600, through the folder opened at the start) and,
    // with a public key, fetches its signature and checks the archive's bytes as received. A
    // refused archive is deleted and the reason logged in Bug.log; a cancelled one is deleted.
    // The accepted bytes are kept in memory for Install.
    FetchedArchive FetchArchive();

    // Installs the accepted archive from the bytes that were checked (DoUpdate), whatever has
    // become of the file since; true when the hand-over was started.
    bool Install();

  private:
    std::string ReadVersionFile(const std::string& path);
    // Decides on the downloaded archive: accepted, cancelled, or refused (the refusal logged).
    ArchiveFetch CheckArchive(ReceivedBody& archive);
    // The archive's signature for the offered version, fetched and checked; valid without a
    // public key.
    SignatureCheck CheckSignature(ReceivedBody& archive);

    clsDownload& downloader_;
    LiveUpdateSettings settings_;
    VersionCheck check_;
    std::optional<ReceivedBody> accepted_;
};

}  // namespace gapwell
