// Fetching and checking the signature published beside a downloaded archive, against the test's
// own server on 127.0.0.1.
#include <gtest/gtest.h>
#include <sodium.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/LoopbackServer.h"
#include "support/TempFiles.h"
#include "update/signature/ReleaseCheck.h"
#include "update/signature/ReleaseSignature.h"
#include "update/transfer/clsDownload.h"

namespace gapwell {
namespace {

class ReleaseCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey.data(), secretKey.data());
        archivePath = folder.Write("GPW.zip", archive);
    }

    std::string SignatureLine() const {
        const ReleaseSignature signature = SignRelease(secretKey, "1.2.4", "GPW.zip", archive);
        return EncodeBase64(signature.data(), signature.size());
    }

    SignatureCheck Check() {
        return CheckDownloadedRelease(downloader, server.Url("/GPW.zip"), archivePath, "1.2.4",
                                      EncodeBase64(publicKey.data(), publicKey.size()),
                                      signatureFile);
    }

    test::LoopbackServer server;
    test::TempFolder folder;
    clsDownload downloader;
    ReleasePublicKey publicKey{};
    ReleaseSecretKey secretKey{};
    std::vector<std::uint8_t> archive{'P', 'K', 3, 4, 'r', 'e', 'l'};
    std::string archivePath;
    std::string signatureFile = (folder.Path() / "_sig957k.tmp").string();
};

// A signature file is one line of 88 characters: more than 1 KiB is refused unread, whatever
// its first line holds. The fetched file never stays behind.
TEST_F(ReleaseCheckTest, SignatureFileIsBoundedTo1KiB) {
    const std::string line = SignatureLine() + "\r\n";
    server.Serve("/GPW.zip.sig", line + std::string(1024 - line.size(), ' '));
    EXPECT_EQ(Check(), SignatureCheck::Valid);
    server.Serve("/GPW.zip.sig", line + std::string(1025 - line.size(), ' '));
    EXPECT_EQ(Check(), SignatureCheck::MalformedSignature);
    EXPECT_FALSE(std::filesystem::exists(signatureFile));
}

}  // namespace
}  // namespace gapwell
