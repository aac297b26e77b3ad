#include "release/ReleaseCommands.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "base/Version.h"
#include "update/files/UpdatePaths.h"
#include "update/records/VersionFile.h"
#include "update/signature/ReleaseSignature.h"
#include "update/transfer/TransferBounds.h"

namespace gapwell::release {

namespace {

// What the tool reads, and the most bytes it reads of it.
struct InputKind {
    const char* name;
    std::int64_t maxBytes;
};

// A key file is one line of base64 (89 bytes as keygen writes it).
constexpr InputKind kSecretKeyFile{"a secret key file", 1024};
constexpr InputKind kNotesFile{"release notes", kMaxVersionFileBytes};
constexpr InputKind kArchiveFile{"a release archive", kMaxArchiveBytes};
constexpr InputKind kSignatureFile{"a signature file", kMaxSignatureFileBytes};

// The whole regular file at `path`, a link followed: the maker names these files, and a key
// kept elsewhere behind a link is read as named. A FIFO, a device or a file larger than the
// kind allows is refused before anything is signed or written.
std::vector<std::uint8_t> ReadFile(const std::string& path, const InputKind& kind) {
    int error = 0;
    std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(path, kind.maxBytes, &error, LinkRule::Follow);
    if (bytes) {
        return std::move(*bytes);
    }
    if (error == EFBIG) {
        throw RuntimeError(error, std::string("larger than ") + kind.name + " may be (" +
                                      std::to_string(kind.maxBytes) + " bytes): " + path);
    }
    if (error == EINVAL || error == EISDIR) {
        throw RuntimeError(error, "not a regular file: " + path);
    }
    throw ErrnoError(error, path);
}

std::string ReadText(const std::string& path, const InputKind& kind) {
    const std::vector<std::uint8_t> bytes = ReadFile(path, kind);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

int Keygen(const std::string& secretFile, std::ostream& out) {
    ReleaseKeyPair keys = MakeReleaseKeyPair();
    WriteNewFile(AT_FDCWD, secretFile,
                 EncodeBase64(keys.secretKey.data(), keys.secretKey.size()) + "\n", 0600);
    WipeSecretKey(keys.secretKey);
    out << EncodeBase64(keys.publicKey.data(), keys.publicKey.size()) << '\n';
    return 0;
}

int Sign(const std::string& secretFile, const std::string& archive, const std::string& version,
         const std::string& url, const std::string& notesFile, std::ostream& out) {
    // The line is read back as the shipped program reads it from an update folder of the URL's
    // own scheme: a line it would refuse is never published.
    // A version or URL holding a line end of its own would end the line early.
    const std::string line = VersionLineText(version, url);
    const std::string firstLine = FirstLine(line);
    if (firstLine.size() + 2 != line.size() ||
        !ParseVersionLine(firstLine, ArchiveRules{url, version::kAppTitle}).usable) {
        throw RuntimeError(EINVAL,
                           "the program would refuse this version and archive URL "
                           "(digits and dots; an http(s) URL ending in " +
                               std::string(version::kAppTitle) + ".zip or similar)");
    }
    const std::string notes = notesFile.empty() ? std::string() : ReadText(notesFile, kNotesFile);
    if (line.size() + notes.size() > static_cast<std::size_t>(kMaxVersionFileBytes)) {
        throw RuntimeError(EFBIG, "the version line and the notes exceed " +
                                      std::to_string(kMaxVersionFileBytes / 1024) +
                                      " KiB, which the program refuses: " + notesFile);
    }
    // The program checks the signature under the name it downloads the archive as.
    const std::string archiveFileName = GetUrlFileName(url);
    std::optional<ReleaseSecretKey> secretKey =
        DecodeSecretKey(ReadText(secretFile, kSecretKeyFile));
    if (!secretKey) {
        throw RuntimeError(EINVAL, "not a secret key file: " + secretFile);
    }
    const ReleaseSignature signature =
        SignRelease(*secretKey, version, archiveFileName, ReadFile(archive, kArchiveFile));
    WipeSecretKey(*secretKey);
    const std::string signatureFile = archive + ".sig";
    ::unlink(signatureFile.c_str());
    WriteNewFile(AT_FDCWD, signatureFile, EncodeBase64(signature.data(), signature.size()) + "\n",
                 0644);
    out << line << notes;
    return 0;
}

int Verify(const std::string& publicKey, const std::string& archive, const std::string& version,
           const std::string& signatureFile, std::ostream& out) {
    const SignatureCheck check =
        VerifyReleaseFile(archive, version, GetFileName(archive),
                          ReadText(signatureFile, kSignatureFile), publicKey, kMaxArchiveBytes);
    out << SignatureCheckText(check) << '\n';
    return check == SignatureCheck::Valid ? 0 : 1;
}

}  // namespace gapwell::release
