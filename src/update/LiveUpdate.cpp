#include "update/LiveUpdate.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "services/ErrorScope.h"
#include "services/modErrorHandler.h"
#include "update/install/DoUpdate.h"
#include "update/install/UpdatesFolder.h"
#include "update/records/ReleaseNotes.h"
#include "update/signature/ReleaseCheck.h"
#include "update/transfer/PrivateTempFile.h"
#include "update/transfer/clsDownload.h"

namespace gapwell {

LiveUpdate::LiveUpdate(clsDownload& downloader, LiveUpdateSettings settings)
    : downloader_(downloader), settings_(std::move(settings)) {}

VersionCheck LiveUpdate::CheckForUpdate(const TransferBounds& bounds) {
    check_ = VersionCheck{};
    accepted_.reset();
    std::optional<PrivateTempFile> versionFile;
    ErrorScope scope(settings_.startReport.procedure, settings_.startReport.module);
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
    ErrorScope scope(settings_.completionReport.procedure, settings_.completionReport.module);
    scope.Step([&] { text = ReadVersionFileText(path); });
    ::unlink(path.c_str());
    return text;
}

std::string LiveUpdate::ArchivePath() const {
    return settings_.updatesFolder + check_.offer.archiveFileName;
}

FetchedArchive LiveUpdate::FetchArchive() {
    accepted_.reset();
    if (!check_.updateAvailable) {
        return {ArchiveFetch::NoUpdate};
    }
    ErrorScope scope(settings_.startReport.procedure, settings_.startReport.module);
    // An updates folder that could not be prepared (Ignore included) is never downloaded into:
    // it may be a link to somewhere else.
    UniqueFd updates;
    scope.Step([&] { updates = PrepareUpdatesFolder(settings_.updatesFolder); });
    if (updates.Get() < 0) {
        return {ArchiveFetch::FolderNotPrepared};
    }
    downloader_.SetBounds(kArchiveBounds);
    const std::string& name = check_.offer.archiveFileName;
    // Room for the signed message's prefix before the bytes: the archive is checked in place.
    const std::size_t headroom = SignedPrefix(check_.offer.newestVersion, name).size();
    std::optional<ReceivedBody> archive = downloader_.DownloadInto(
        check_.offer.archiveUrl, updates.Get(), name, ArchivePath(), headroom);
    if (!archive) {
        return {downloader_.Cancelled() ? ArchiveFetch::Cancelled : ArchiveFetch::TransferFailed};
    }
    const ArchiveFetch outcome = CheckArchive(*archive);
    if (outcome != ArchiveFetch::Accepted) {
        ::unlinkat(updates.Get(), name.c_str(), 0);
        return {outcome};
    }
    accepted_ = std::move(archive);
    return {ArchiveFetch::Accepted, accepted_->size};
}

// An archive cancelled while its completion was handled is not checked: it goes like a refused
// one, but unlogged. A refusal is logged in Bug.log; a failure of the check itself (Ignore
// included) refuses the archive too.
ArchiveFetch LiveUpdate::CheckArchive(ReceivedBody& archive) {
    if (downloader_.Cancelled()) {
        return ArchiveFetch::Cancelled;
    }
    const ReportName& report = settings_.completionReport;
    std::optional<SignatureCheck> check;
    ErrorScope checking(report.procedure, report.module);
    checking.Step([&] { check = CheckSignature(archive); });
    if (check == SignatureCheck::Valid) {
        return ArchiveFetch::Accepted;
    }
    if (downloader_.Cancelled()) {
        return ArchiveFetch::Cancelled;
    }
    if (check) {
        LogError(report.procedure, EBADMSG, report.module, SignatureCheckText(*check), 0);
    }
    return ArchiveFetch::Refused;
}

SignatureCheck LiveUpdate::CheckSignature(ReceivedBody& archive) {
    if (settings_.publicKey.empty()) {
        return SignatureCheck::Valid;
    }
    const PrivateTempFile signatureFile(settings_.signatureTempFile);
    return CheckDownloadedRelease(downloader_, check_.offer.archiveUrl, archive,
                                  check_.offer.newestVersion, settings_.publicKey,
                                  signatureFile.Path());
}

bool LiveUpdate::Install() {
    InstallOptions options;
    options.reportAs = settings_.installReport;
    return accepted_ &&
           DoUpdate(ArchivePath(), accepted_->Body(), settings_.updatesFolder, options);
}

}  // namespace gapwell
