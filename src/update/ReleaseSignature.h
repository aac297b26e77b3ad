#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gapwell {

// Releases are signed with Ed25519 (detached) over the message "<version>|<archive bytes>",
// where <version> is the newest-version field of the version file exactly as published. Binding
// the version to the archive keeps an old signed archive from passing as a newer release.
using ReleasePublicKey = std::array<std::uint8_t, 32>;
using ReleaseSecretKey = std::array<std::uint8_t, 64>;
using ReleaseSignature = std::array<std::uint8_t, 64>;

// The outcome of checking a downloaded release against its signature file.
enum class SignatureCheck {
    kValid,
    kNoPublicKey,         // the program carries no (or an unreadable) public key
    kMalformedSignature,  // the signature file is not one line of base64 of 64 bytes
    kUnreadableArchive,   // the archive could not be read whole
    kWrongSignature,      // the signature does not match this archive, version and key
};

// Standard base64 (with padding) of exactly the key's or signature's size; blanks and one line
// end around it are allowed, nothing else.
std::optional<ReleasePublicKey> DecodePublicKey(std::string_view base64);
std::optional<ReleaseSecretKey> DecodeSecretKey(std::string_view base64);
// A signature file: one line of base64 of the 64 signature bytes.
std::optional<ReleaseSignature> ReadSignatureFile(std::string_view text);

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t size);

// The signed message for an archive of a version.
std::vector<std::uint8_t> SignedMessage(std::string_view version,
                                        const std::vector<std::uint8_t>& archive);

ReleaseSignature SignRelease(const ReleaseSecretKey& secretKey, std::string_view version,
                             const std::vector<std::uint8_t>& archive);

// Checks the archive file against the signature file's text for `version`, with the public key
// in base64. Reads the archive whole (at most `maxArchiveBytes`).
SignatureCheck VerifyReleaseFile(const std::string& archivePath, std::string_view version,
                                 std::string_view signatureText, std::string_view publicKeyBase64,
                                 std::int64_t maxArchiveBytes);

// A short English reason for Bug.log.
std::string SignatureCheckText(SignatureCheck check);

}  // namespace gapwell
