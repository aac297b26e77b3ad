#include <gtest/gtest.h>
#include <sodium.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempFiles.h"
#include "update/signature/ReleaseSignature.h"

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

    std::string SignatureText(const KeyPair& keys, const std::string& version,
                              const std::string& name = "GPW.zip") const {
        const ReleaseSignature signature = SignRelease(keys.secretKey, version, name, archive);
        return EncodeBase64(signature.data(), signature.size()) + "\n";
    }
    SignatureCheck Check(const std::string& version, const std::string& signatureText,
                         const std::string& name = "GPW.zip") const {
        return VerifyReleaseFile(archivePath, version, name, signatureText, maker.PublicBase64(),
                                 kMaxArchive);
    }

    test::TempFolder folder;
    std::vector<std::uint8_t> archive{'P', 'K', 3, 4, 0xFF, 0x00, 'r', 'e', 'l'};
    std::string archivePath;
    KeyPair maker;
};

TEST_F(ReleaseSignatureTest, TheMakersSignatureForThisVersionIsValid) {
    EXPECT_EQ(Check("1.2.4", SignatureText(maker, "1.2.4")), SignatureCheck::Valid);
    // One line with a Windows line end, or none, reads the same.
    std::string crlf = SignatureText(maker, "1.2.4");
    crlf.insert(crlf.size() - 1, "\r");
    EXPECT_EQ(Check("1.2.4", crlf), SignatureCheck::Valid);
}

TEST_F(ReleaseSignatureTest, AnythingElseIsRefused) {
    const std::string good = SignatureText(maker, "1.2.4");
    EXPECT_EQ(Check("1.2.5", good), SignatureCheck::WrongSignature) << "another version";
    EXPECT_EQ(Check("1.2.4", good, "LICENSE.zip"), SignatureCheck::WrongSignature)
        << "the archive under another name";
    EXPECT_EQ(Check("1.2.4", SignatureText(KeyPair(), "1.2.4")), SignatureCheck::WrongSignature)
        << "another key";
    const std::vector<std::string> malformed{
        "", "\n", "garbage", good.substr(0, 40), good + good,
        "<html><body>404 Not Found</body></html>\n",
        // without its padding it is not the published form
        good.substr(0, good.size() - 3) + "\n",
        // a byte outside the base64 alphabet in place of a letter
        "\x9c" + good.substr(1)};
    for (const std::string& text : malformed) {
        EXPECT_EQ(Check("1.2.4", text), SignatureCheck::MalformedSignature) << text;
    }
}

TEST_F(ReleaseSignatureTest, AnArchiveChangedByOneByteIsRefused) {
    const std::string good = SignatureText(maker, "1.2.4");
    archive[4] ^= 1;
    folder.Write("GPW.zip", archive);
    EXPECT_EQ(Check("1.2.4", good), SignatureCheck::WrongSignature);
}

TEST_F(ReleaseSignatureTest, MissingKeyOrArchiveIsNoPass) {
    const std::string good = SignatureText(maker, "1.2.4");
    const std::string key = maker.PublicBase64();
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", "GPW.zip", good, "", kMaxArchive),
              SignatureCheck::NoPublicKey);
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", "GPW.zip", good, "c2hvcnQ=", kMaxArchive),
              SignatureCheck::NoPublicKey);
    EXPECT_EQ(VerifyReleaseFile(archivePath + ".gone", "1.2.4", "GPW.zip", good, key, kMaxArchive),
              SignatureCheck::UnreadableArchive);
    EXPECT_EQ(VerifyReleaseFile(archivePath, "1.2.4", "GPW.zip", good, key, 4),
              SignatureCheck::UnreadableArchive);
    // The archive is read as the file itself: never through a link, never from a FIFO.
    const std::filesystem::path link = folder.Path() / "link.zip";
    std::filesystem::create_symlink(archivePath, link);
    EXPECT_EQ(VerifyReleaseFile(link, "1.2.4", "GPW.zip", good, key, kMaxArchive),
              SignatureCheck::UnreadableArchive);
    const std::string fifo = (folder.Path() / "fifo.zip").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(VerifyReleaseFile(fifo, "1.2.4", "GPW.zip", good, key, kMaxArchive),
              SignatureCheck::UnreadableArchive);
}

// A signature made with libsodium alone over "Gapwell|<version>|<archive file name>|<bytes>".
std::string SodiumSignature(const KeyPair& keys, const std::string& message) {
    ReleaseSignature signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                         keys.secretKey.data());
    return EncodeBase64(signature.data(), signature.size()) + "\n";
}

// The documented message verifies; every other framing of the same facts does not.
TEST_F(ReleaseSignatureTest, KnownAnswerOfTheSignedMessage) {
    const std::string bytes(archive.begin(), archive.end());
    EXPECT_EQ(Check("1.2.4", SodiumSignature(maker, "Gapwell|1.2.4|GPW.zip|" + bytes)),
              SignatureCheck::Valid);
    const std::vector<std::string> otherFramings{
        "1.2.4|" + bytes,                  // the earlier format: version and bytes only
        "1.2.4|GPW.zip|" + bytes,          // no product name
        "Gapwell|GPW.zip|1.2.4|" + bytes,  // name and version swapped
        "GPW|1.2.4|GPW.zip|" + bytes,      // another product name
        "Gapwell|1.2.4|GPW.zip" + bytes,   // no separator before the bytes
        "Gapwell|1.2.4|GPW.zip|" + bytes + "|",
    };
    for (const std::string& message : otherFramings) {
        EXPECT_EQ(Check("1.2.4", SodiumSignature(maker, message)), SignatureCheck::WrongSignature)
            << message;
    }
}

}  // namespace
}  // namespace gapwell
