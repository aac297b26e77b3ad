#include <gtest/gtest.h>
#include <sodium.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempFiles.h"
#include "update/ReleaseSignature.h"

namespace gapwell {
namespace {

constexpr std::int64_t kMaxArchive = 1 << 20;

struct KeyPair {
    ReleasePublicKey publicKey{};
    ReleaseSecretKey secretKey{};
    KeyPair() {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey.data(), secretKey.data());
    }
    std::string PublicBase64() const { return EncodeBase64(publicKey.data(), publicKey.size()); }
};

class ReleaseSignatureTest : public ::testing::Test {
  protected:
    void SetUp() override { archivePath = folder.Write("GPW.zip", archive); }

    std::string SignatureText(const KeyPair& keys, const std::string& version) const {
        const ReleaseSignature signature = SignRelease(keys.secretKey, version, archive);
        return EncodeBase64(signature.data(), signature.size()) + "\n";
    }
    SignatureCheck Check(const std::string& version, const std::string& signatureText) const {
        return VerifyReleaseFile(archivePath, version, signatureText, maker.PublicBase64(),
                                 kMaxArchive);
    }

    test::TempFolder folder;
    std::vector<std::uint8_t> archive{'P', 'K', 3, 4, 0xFF, 0x00, 'r', 'e', 'l'};
    std::string archivePath;
    KeyPair maker;
};

TEST_F(ReleaseSignatureTest, TheMakersSignatureForThisVersionIsValid) {
    EXPECT_EQ(Check("1.2.4", SignatureText(maker, "1.2.4")), SignatureCheck::kValid);
    // One line with a Windows line end, or none, reads the same.
    std::string crlf = SignatureText(maker, "1.2.4");
    crlf.insert(crlf.size() - 1, "\r");
    EXPECT_EQ(Check("1.2.4", crlf), SignatureCheck::kValid);
}

TEST_F(ReleaseSignatureTest, AnythingElseIsRefused) {
    const std::string good = SignatureText(maker, "1.2.4");
    EXPECT_EQ(Check("1.2.5", good), SignatureCheck::kWrongSignature) << "another version";
    EXPECT_EQ(Check("1.2.4", SignatureText(KeyPair(), "1.2.4")), SignatureCheck::kWrongSignature)
        << "another key";
    const std::vector<std::string> malformed{
        "", "\n", "garbage", good.substr(0, 40), good + good,
        "<html><body>404 Not Found</body></html>\n",
        // without its padding it is not the published form
        good.substr(0, good.size() - 3) + "\n",
        // a byte outside the base64 alphabet in place of a letter
        "\x9c" + good.substr(1)};
    for (const std::string& text : malformed) {
        EXPECT_EQ(Check("1.2.4", text), SignatureCheck::kMalformedSignature) << text;
    }
}

TEST_F(ReleaseSignatureTest, AnArchiveChangedByOneByteIsRefused) {
    const std::string good = SignatureText(maker, "1.2.4");
    archive[4] ^= 1;
    folder.Write("GPW.zip", archive);
    EXPECT_EQ(Check("1.2.4", good), SignatureCheck::kWrongSignature);
}

TEST_F(ReleaseSignatureTest, MissingKeyOrArchiveIsNoPass) {
    const std::string good = SignatureText(maker, "1.2.4");
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", good, "", kMaxArchive),
              SignatureCheck::kNoPublicKey);
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", good, "c2hvcnQ=", kMaxArchive),
              SignatureCheck::kNoPublicKey);
    EXPECT_EQ(
        VerifyReleaseFile(archivePath + ".gone", "1.2.4", good, maker.PublicBase64(), kMaxArchive),
        SignatureCheck::kUnreadableArchive);
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", good, maker.PublicBase64(), 4),
              SignatureCheck::kUnreadableArchive);
}

}  // namespace
}  // namespace gapwell
