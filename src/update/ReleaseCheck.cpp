#include "update/ReleaseCheck.h"

#include <cstdint>

#include "update/HttpReceive.h"
#include "update/VersionFile.h"
#include "update/VersionLine.h"
#include "update/clsDownload.h"

namespace gapwell {

SignatureCheck CheckDownloadedRelease(const std::string& archiveUrl, const std::string& archivePath,
                                      const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile) {
    bool fetched = false;
    clsDownload download;
    download.DownloadComplete = [&fetched](const std::string& /*fileName*/,
                                           std::int32_t totalBytes) { fetched = totalBytes != 0; };
    download.DownloadFile(archiveUrl + ".sig", signatureFile);
    if (!fetched) {
        return SignatureCheck::kMalformedSignature;
    }
    // The signature is one line; whatever follows a carriage return is not part of it.
    const std::string signatureText = TakeVersionFileLine(signatureFile);
    return VerifyReleaseFile(archivePath, version, GetUrlFileName(archiveUrl), signatureText,
                             publicKeyBase64, kMaxAnnouncedLength);
}

}  // namespace gapwell
