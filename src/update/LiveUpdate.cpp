#include "update/LiveUpdate.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "services/ErrorScope.h"
#include "services/modErrorHandler.h"
#include "update/DoUpdate.h"
#include "update/ReleaseCheck.h"
#include "update/ReleaseNotes.h"
#include "update/UpdatesFolder.h"
#include "update/clsDownload.h"

namespace gapwell {

namespace {

constexpr const char* kModuleName = "frmUpdate";
constexpr const char* kCompleteProc = "Updater_DownloadComplete";

}  // namespace

LiveUpdate::LiveUpdate(clsDownload& downloader, LiveUpdateSettings settings)
    : downloader_(downloader), settings_(std::move(settings)) {}

VersionCheck LiveUpdate::CheckForUpdate(const TransferBounds& bounds) {
    check_ = VersionCheck{};
    accepted_ = false;
    downloader_.SetBounds(bounds);
    check_.totalBytes = downloader_.DownloadFile(settings_.versionUrl, settings_.versionTempFile);
    if (check_.totalBytes == 0) {
        return check_;
    }
    const std::string text = ReadVersionFile();
    check_.offer = ParseVersionLine(FirstLine(text), settings_.rules);
    if (check_.offer.usable) {
        check_.releaseNotes = ReleaseNotesOf(text);
    }
    check_.updateAvailable =
        check_.offer.usable && IsNewerVersion(settings_.currentVersion, check_.offer.newestVersion);
    return check_;
}

// The version file's text; empty when reading failed and was given up. The file is deleted once
// it has been read or given up, not before, so that Retry finds it.
std::string LiveUpdate::ReadVersionFile() {
    std::string text;
    ErrorScope scope(kCompleteProc, kModuleName);
    scope.Step([&] { text = ReadVersionFileText(settings_.versionTempFile); });
    ::unlink(settings_.versionTempFile.c_str());
    return text;
}

std::string LiveUpdate::ArchivePath() const {
    return settings_.updatesFolder + check_.offer.archiveFileName;
}

std::int32_t LiveUpdate::FetchArchive() {
    accepted_ = false;
    if (!check_.updateAvailable) {
        return 0;
    }
    ErrorScope scope("cmdNext_Click", kModuleName);
    // An updates folder that could not be prepared (Ignore included) is never downloaded into:
    // it may be a link to somewhere else.
    bool prepared = false;
    scope.Step([&] {
        PrepareUpdatesFolder(settings_.updatesFolder);
        prepared = true;
    });
    if (!prepared) {
        return 0;
    }
    downloader_.SetBounds(kArchiveBounds);
    const std::int32_t total = downloader_.DownloadFile(check_.offer.archiveUrl, ArchivePath());
    if (total == 0 || downloader_.Cancelled()) {
        return 0;
    }
    ErrorScope checking(kCompleteProc, kModuleName);
    checking.Step([&] { accepted_ = ArchiveIsSigned(); });
    return accepted_ ? total : 0;
}

// With a public key: whether the archive carries the maker's signature for the offered
// version. A refused archive is deleted; a refusal other than Cancel is logged in Bug.log.
bool LiveUpdate::ArchiveIsSigned() {
    if (settings_.publicKey.empty()) {
        return true;
    }
    const SignatureCheck check = CheckDownloadedRelease(
        downloader_, check_.offer.archiveUrl, ArchivePath(), check_.offer.newestVersion,
        settings_.publicKey, settings_.signatureTempFile);
    if (check == SignatureCheck::kValid) {
        return true;
    }
    ::unlink(ArchivePath().c_str());
    if (!downloader_.Cancelled()) {
        LogError(kCompleteProc, EBADMSG, kModuleName, SignatureCheckText(check), 0);
    }
    return false;
}

bool LiveUpdate::Install() {
    return accepted_ && DoUpdate(ArchivePath(), settings_.updatesFolder);
}

}  // namespace gapwell
