#include "update/signature/ReleaseCheck.h"

#include <unistd.h>

#include <optional>

#include "update/records/VersionFile.h"
#include "update/transfer/TransferBounds.h"
#include "update/transfer/clsDownload.h"

namespace gapwell {

namespace {

// The signature file's one line, fetched, read and deleted; nullopt when it could not be
// fetched.
std::optional<std::string> FetchSignatureLine(clsDownload& downloader,
                                              const std::string& archiveUrl,
                                              const std::string& signatureFile) {
    downloader.SetBounds(kSignatureBounds);
    if (downloader.DownloadFile(archiveUrl + ".sig", signatureFile) == 0) {
        return std::nullopt;
    }
    // The signature is one line; whatever follows a line end is not part of it.
    std::string signatureText;
    try {
        signatureText = ReadFirstLine(signatureFile, kMaxSignatureFileBytes);
    } catch (...) {
        ::unlink(signatureFile.c_str());
        throw;
    }
    ::unlink(signatureFile.c_str());
    return signatureText;
}

// The signature line fetched and handed to `verify`; MalformedSignature when there is none.
template <typename Verify>
SignatureCheck FetchAndVerify(clsDownload& downloader, const std::string& archiveUrl,
                              const std::string& signatureFile, const Verify& verify) {
    const std::optional<std::string> line =
        FetchSignatureLine(downloader, archiveUrl, signatureFile);
    return line ? verify(*line) : SignatureCheck::MalformedSignature;
}

}  // namespace

SignatureCheck CheckDownloadedRelease(clsDownload& downloader, const std::string& archiveUrl,
                                      ReceivedBody& archive, const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile) {
    return FetchAndVerify(downloader, archiveUrl, signatureFile, [&](const std::string& line) {
        const std::string_view message =
            archive.PrefixedBody(SignedPrefix(version, GetUrlFileName(archiveUrl)));
        return message.empty() ? SignatureCheck::UnreadableArchive
                               : VerifySignedMessage(message, line, publicKeyBase64);
    });
}

SignatureCheck CheckDownloadedRelease(clsDownload& downloader, const std::string& archiveUrl,
                                      const std::string& archivePath, const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile) {
    return FetchAndVerify(downloader, archiveUrl, signatureFile, [&](const std::string& line) {
        return VerifyReleaseFile(archivePath, version, GetUrlFileName(archiveUrl), line,
                                 publicKeyBase64, kMaxArchiveBytes);
    });
}

}  // namespace gapwell
