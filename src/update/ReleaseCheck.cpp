#include "update/ReleaseCheck.h"

#include <unistd.h>

#include "update/TransferBounds.h"
#include "update/VersionFile.h"
#include "update/clsDownload.h"

namespace gapwell {

SignatureCheck CheckDownloadedRelease(clsDownload& downloader, const std::string& archiveUrl,
                                      const std::string& archivePath, const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile) {
    downloader.SetBounds(kSignatureBounds);
    if (downloader.DownloadFile(archiveUrl + ".sig", signatureFile) == 0) {
        return SignatureCheck::kMalformedSignature;
    }
    // The signature is one line; whatever follows a carriage return is not part of it.
    std::string signatureText;
    try {
        signatureText = ReadFirstLine(signatureFile, kMaxSignatureFileBytes);
    } catch (...) {
        ::unlink(signatureFile.c_str());
        throw;
    }
    ::unlink(signatureFile.c_str());
    return VerifyReleaseFile(archivePath, version, GetUrlFileName(archiveUrl), signatureText,
                             publicKeyBase64, kMaxArchiveBytes);
}

}  // namespace gapwell
