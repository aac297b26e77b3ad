#include "update/LiveUpdate.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "services/ErrorScope.h"
#include "services/modErrorHandler.h"
#include "update/DoUpdate.h"
#include "update/PrivateTempFile.h"
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
    accepted_.reset();
    std::optional<PrivateTempFile> versionFile;
    ErrorScope scope("cmdNext_Click", kModuleName);
    scope.Step([&] { versionFile.emplace(settings_.versionTempFile); });
    if (!versionFile) {
        return check_;
    }
    downloader_.SetBounds(bounds);
    check_.totalBytes = downloader_.DownloadFile(settings_.versionUrl, versionFile->Path());
    if (check_.totalBytes == 0) {
        return check_;
    }
    const std::string text = ReadVersionFile(versionFile->Path());
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
std::string LiveUpdate::ReadVersionFile(const std::string& path) {
    std::string text;
    ErrorScope scope(kCompleteProc, kModuleName);
    scope.Step([&] { text = ReadVersionFileText(path); });
    ::unlink(path.c_str());
    return text;
}

std::string LiveUpdate::ArchivePath() const {
    return settings_.updatesFolder + check_.offer.archiveFileName;
}

std::int32_t LiveUpdate::FetchArchive() {
    accepted_.reset();
    if (!check_.updateAvailable) {
        return 0;
    }
    ErrorScope scope("cmdNext_Click", kModuleName);
    // An updates folder that could not be prepared (Ignore included) is never downloaded into:
    // it may be a link to somewhere else.
    UniqueFd updates;
    scope.Step([&] { updates = PrepareUpdatesFolder(settings_.updatesFolder); });
    if (updates.Get() < 0) {
        return 0;
    }
    downloader_.SetBounds(kArchiveBounds);
    const std::string& name = check_.offer.archiveFileName;
    // Room for the signed message's prefix before the bytes: the archive is checked in place.
    const std::size_t headroom = SignedPrefix(check_.offer.newestVersion, name).size();
    std::optional<ReceivedBody> archive = downloader_.DownloadInto(
        check_.offer.archiveUrl, updates.Get(), name, ArchivePath(), headroom);
    if (!archive) {
        return 0;
    }
    // An archive cancelled while its completion was handled is not checked: it goes like a
    // refused one.
    bool signedArchive = false;
    if (!downloader_.Cancelled()) {
        ErrorScope checking(kCompleteProc, kModuleName);
        checking.Step([&] { signedArchive = ArchiveIsSigned(*archive); });
    }
    if (!signedArchive) {
        ::unlinkat(updates.Get(), name.c_str(), 0);
        return 0;
    }
    accepted_ = std::move(archive);
    return accepted_->size;
}

// With a public key: whether the archive carries the maker's signature for the offered
// version. A refusal other than Cancel is logged in Bug.log.
bool LiveUpdate::ArchiveIsSigned(ReceivedBody& archive) {
    if (settings_.publicKey.empty()) {
        return true;
    }
    const PrivateTempFile signatureFile(settings_.signatureTempFile);
    const SignatureCheck check = CheckDownloadedRelease(downloader_, check_.offer.archiveUrl,
                                                        archive, check_.offer.newestVersion,
                                                        settings_.publicKey, signatureFile.Path());
    if (check == SignatureCheck::kValid) {
        return true;
    }
    if (!downloader_.Cancelled()) {
        LogError(kCompleteProc, EBADMSG, kModuleName, SignatureCheckText(check), 0);
    }
    return false;
}

bool LiveUpdate::Install() {
    return accepted_ &&
           DoUpdate(ArchivePath(), accepted_->Body(), settings_.updatesFolder, InstallOptions{});
}

}  // namespace gapwell
