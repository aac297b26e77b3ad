#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gapwell {

// Releases are signed with Ed25519 (detached) over the message
// "Gapwell|<version>|<archive file name>|<archive bytes>", where <version> is the newest-version
// field of the version file exactly as published and <archive file name> the last path segment
// of the archive's URL ("GPW.zip"). Everything the program decides by is signed: an old signed
// archive cannot pass as a newer release, nor one archive under another name.
using ReleasePublicKey = std::array<std::uint8_t, 32>;
using ReleaseSecretKey = std::array<std::uint8_t, 64>;
using ReleaseSignature = std::array<std::uint8_t, 64>;

// The product name the signed message starts with.
inline constexpr std::string_view kSignedProductName = "Gapwell";

// The outcome of checking a downloaded release against its signature file.
enum class SignatureCheck {
    Valid,
    NoPublicKey,         // the program carries no (or an unreadable) public key
    MalformedSignature,  // the signature file is not one line of base64 of 64 bytes
    UnreadableArchive,   // the archive could not be read whole
    WrongSignature,      // the signature does not match this archive, name, version and key
};

// Standard base64 (with padding) of exactly the key's or signature's size; blanks and one line
// end around it are allowed, nothing else.
std::optional<ReleasePublicKey> DecodePublicKey(std::string_view base64);
std::optional<ReleaseSecretKey> DecodeSecretKey(std::string_view base64);
// A signature file: one line of base64 of the 64 signature bytes.
std::optional<ReleaseSignature> ReadSignatureFile(std::string_view text);

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t size);

// What the signed message holds before the archive's bytes: "Gapwell|<version>|<name>|".
std::string SignedPrefix(std::string_view version, std::string_view archiveFileName);

// The signed message for an archive published as `archiveFileName` for a version.
std::vector<std::uint8_t> SignedMessage(std::string_view version, std::string_view archiveFileName,
                                        const std::vector<std::uint8_t>& archive);

// A new random key pair for signing releases (the maker's tool).
struct ReleaseKeyPair {
    ReleasePublicKey publicKey{};
    ReleaseSecretKey secretKey{};
};
ReleaseKeyPair MakeReleaseKeyPair();
// Overwrites a secret key in memory once it is no longer needed.
void WipeSecretKey(ReleaseSecretKey& secretKey);

ReleaseSignature SignRelease(const ReleaseSecretKey& secretKey, std::string_view version,
                             std::string_view archiveFileName,
                             const std::vector<std::uint8_t>& archive);

// Checks a signed message (SignedPrefix followed by the archive's bytes, in one buffer) against
// the signature file's text, with the public key in base64.
SignatureCheck VerifySignedMessage(std::string_view message, std::string_view signatureText,
                                   std::string_view publicKeyBase64);

// Checks the archive file against the signature file's text for `version` and the name the
// archive was published under, with the public key in base64. Reads the archive whole (at most
// `maxArchiveBytes`; a link or anything but a regular file is unreadable).
SignatureCheck VerifyReleaseFile(const std::string& archivePath, std::string_view version,
                                 std::string_view archiveFileName, std::string_view signatureText,
                                 std::string_view publicKeyBase64, std::int64_t maxArchiveBytes);

// A short English reason for Bug.log.
std::string SignatureCheckText(SignatureCheck check);

}  // namespace gapwell
