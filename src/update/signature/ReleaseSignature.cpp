#include "update/signature/ReleaseSignature.h"

#include <sodium.h>

#include <stdexcept>

#include "base/PosixFile.h"

namespace gapwell {

namespace {

void InitSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not be initialised");
    }
}

std::string_view TrimmedLine(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    const std::string_view line = text.substr(first, last - first + 1);
    // Only blanks and line ends may surround the one line.
    return line.find_first_of("\r\n") == std::string_view::npos ? line : std::string_view();
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> DecodeExactly(std::string_view text) {
    const std::string_view base64 = TrimmedLine(text);
    if (base64.empty()) {
        return std::nullopt;
    }
    InitSodium();
    std::array<std::uint8_t, N> bytes{};
    std::size_t decoded = 0;
    const char* end = nullptr;
    const int result = sodium_base642bin(bytes.data(), bytes.size(), base64.data(), base64.size(),
                                         nullptr, &decoded, &end, sodium_base64_VARIANT_ORIGINAL);
    if (result != 0 || decoded != N || end != base64.data() + base64.size()) {
        return std::nullopt;
    }
    // Only the canonical text of these bytes counts: libsodium's decoder lets some bytes outside
    // the base64 alphabet through.
    if (EncodeBase64(bytes.data(), bytes.size()) != base64) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<ReleasePublicKey> DecodePublicKey(std::string_view base64) {
    return DecodeExactly<crypto_sign_PUBLICKEYBYTES>(base64);
}

std::optional<ReleaseSecretKey> DecodeSecretKey(std::string_view base64) {
    return DecodeExactly<crypto_sign_SECRETKEYBYTES>(base64);
}

std::optional<ReleaseSignature> ReadSignatureFile(std::string_view text) {
    return DecodeExactly<crypto_sign_BYTES>(text);
}

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t size) {
    InitSodium();
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1);  // the terminating NUL
    return text;
}

std::string SignedPrefix(std::string_view version, std::string_view archiveFileName) {
    std::string prefix;
    for (const std::string_view field : {kSignedProductName, version, archiveFileName}) {
        prefix.append(field).push_back('|');
    }
    return prefix;
}

std::vector<std::uint8_t> SignedMessage(std::string_view version, std::string_view archiveFileName,
                                        const std::vector<std::uint8_t>& archive) {
    const std::string prefix = SignedPrefix(version, archiveFileName);
    std::vector<std::uint8_t> message;
    message.reserve(prefix.size() + archive.size());
    message.insert(message.end(), prefix.begin(), prefix.end());
    message.insert(message.end(), archive.begin(), archive.end());
    return message;
}

ReleaseKeyPair MakeReleaseKeyPair() {
    InitSodium();
    ReleaseKeyPair keys;
    crypto_sign_keypair(keys.publicKey.data(), keys.secretKey.data());
    return keys;
}

void WipeSecretKey(ReleaseSecretKey& secretKey) {
    sodium_memzero(secretKey.data(), secretKey.size());
}

ReleaseSignature SignRelease(const ReleaseSecretKey& secretKey, std::string_view version,
                             std::string_view archiveFileName,
                             const std::vector<std::uint8_t>& archive) {
    InitSodium();
    const std::vector<std::uint8_t> message = SignedMessage(version, archiveFileName, archive);
    ReleaseSignature signature{};
    crypto_sign_detached(signature.data(), nullptr, message.data(), message.size(),
                         secretKey.data());
    return signature;
}

SignatureCheck VerifySignedMessage(std::string_view message, std::string_view signatureText,
                                   std::string_view publicKeyBase64) {
    const std::optional<ReleasePublicKey> key = DecodePublicKey(publicKeyBase64);
    if (!key) {
        return SignatureCheck::NoPublicKey;
    }
    const std::optional<ReleaseSignature> signature = ReadSignatureFile(signatureText);
    if (!signature) {
        return SignatureCheck::MalformedSignature;
    }
    const bool valid =
        crypto_sign_verify_detached(signature->data(),
                                    reinterpret_cast<const unsigned char*>(message.data()),
                                    message.size(), key->data()) == 0;
    return valid ? SignatureCheck::Valid : SignatureCheck::WrongSignature;
}

SignatureCheck VerifyReleaseFile(const std::string& archivePath, std::string_view version,
                                 std::string_view archiveFileName, std::string_view signatureText,
                                 std::string_view publicKeyBase64, std::int64_t maxArchiveBytes) {
    const std::optional<std::vector<std::uint8_t>> archive =
        ReadWholeFile(archivePath, maxArchiveBytes);
    if (!archive) {
        return SignatureCheck::UnreadableArchive;
    }
    const std::vector<std::uint8_t> message = SignedMessage(version, archiveFileName, *archive);
    return VerifySignedMessage(
        std::string_view(reinterpret_cast<const char*>(message.data()), message.size()),
        signatureText, publicKeyBase64);
}

std::string SignatureCheckText(SignatureCheck check) {
    switch (check) {
        case SignatureCheck::Valid:
            return "Signature valid";
        case SignatureCheck::NoPublicKey:
            return "No valid public key to check the release signature";
        case SignatureCheck::MalformedSignature:
            return "Release signature missing or malformed";
        case SignatureCheck::UnreadableArchive:
            return "Release archive could not be read";
        case SignatureCheck::WrongSignature:
            return "Release signature does not match the archive, its name and version";
    }
    return "Unknown signature check";
}

}  // namespace gapwell
