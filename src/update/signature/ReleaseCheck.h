#pragma once

#include <string>

#include "update/signature/ReleaseSignature.h"
#include "update/transfer/HttpReceive.h"

namespace gapwell {

class clsDownload;

// Fetches the signature file published beside the archive (the archive's URL + ".sig") into
// `signatureFile` through `downloader` (so that its owner's Cancel ends it at once), within
// kSignatureBounds (at most 1 KiB, the attended check's time bounds); reads and deletes it, and
// checks the downloaded archive with it for `version` (the newest-version field as published),
// the archive's file name (the last path segment of `archiveUrl`) and the public key. A
// signature file that could not be fetched gives MalformedSignature.
//
// The archive as it was received, kept in memory: the signed message is built in its own
// buffer (the prefix written into the headroom before the bytes), so that exactly these bytes
// are checked and nothing is copied.
SignatureCheck CheckDownloadedRelease(clsDownload& downloader, const std::string& archiveUrl,
                                      ReceivedBody& archive, const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile);
// The archive file at `archivePath`, read whole.
SignatureCheck CheckDownloadedRelease(clsDownload& downloader, const std::string& archiveUrl,
                                      const std::string& archivePath, const std::string& version,
                                      const std::string& publicKeyBase64,
                                      const std::string& signatureFile);

}  // namespace gapwell
