#include "update/install/InstallJournal.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "base/RuntimeError.h"
#include "services/RecordFields.h"
#include "update/files/NoFollow.h"
#include "update/install/InstallLock.h"

namespace gapwell {

namespace {

// A release of at most 1000 files with names of at most 255 bytes, each escaped, fits easily.
constexpr std::int64_t kMaxJournalBytes = std::int64_t{4} * 1024 * 1024;
constexpr std::size_t kChecksumBytes = 16;
constexpr std::size_t kHashHexDigits = 64;

constexpr const char* kBegin = "begin";
constexpr const char* kAside = "aside";
constexpr const char* kBringIn = "in";
constexpr const char* kMovedIn = "moved";

// Syncs a file or folder to the disk. A file system that cannot sync (EINVAL, ENOTSUP) is taken
// as it is: there is nothing better to be had on it.
bool Sync(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

RuntimeError Refused(const std::string& path, const std::string& why) {
    return RuntimeError(EPERM, "The installation journal in " + path + " " + why);
}

// The seal of `line`: its checksum keyed with the installation's id, in hex.
std::string Checksum(std::string_view line, const std::string& installId) {
    std::array<unsigned char, kChecksumBytes> sum{};
    crypto_generichash(sum.data(), sum.size(), reinterpret_cast<const unsigned char*>(line.data()),
                       line.size(), reinterpret_cast<const unsigned char*>(installId.data()),
                       installId.size());
    std::array<char, kChecksumBytes * 2 + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), sum.data(), sum.size());
    return hex.data();
}

// The fields of one sealed line, unescaped, without the seal; nullopt when the seal does not
// match or a field is badly escaped.
std::optional<std::vector<std::string>> UnsealedFields(std::string_view line,
                                                       const std::string& installId) {
    const std::size_t bar = line.rfind('|');
    if (bar == std::string_view::npos ||
        Checksum(line.substr(0, bar), installId) != line.substr(bar + 1)) {
        return std::nullopt;
    }
    std::vector<std::string> fields;
    for (std::size_t start = 0, end = 0; start <= bar; start = end + 1) {
        end = line.find('|', start);
        std::optional<std::string> field = UnescapeRecordField(line.substr(start, end - start));
        if (!field) {
            return std::nullopt;
        }
        fields.push_back(std::move(*field));
    }
    return fields;
}

std::string ReadJournalText(int file, const struct stat& status, const std::string& path) {
    if (status.st_size > kMaxJournalBytes) {
        throw Refused(path, "is too large");
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::pread(file, text.data() + done, text.size() - done, off_t(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw ErrnoError(got < 0 ? errno : EIO, path);
        }
        done += std::size_t(got);
    }
    return text;
}

bool IsHash(const std::string& text) {
    return text.size() == kHashHexDigits &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Adds one sealed line to `state`; false when it has no place there.
bool ReadLine(const std::vector<std::string>& fields, const std::string& installId,
              JournalState& state) {
    const std::string& kind = fields[0];
    if (!state.begun) {
        state.begun = kind == kBegin && fields.size() == 4 && fields[1] == installId &&
                      IsPlainName(fields[2]) && IsHash(fields[3]);
        state.programName = fields.size() > 2 ? fields[2] : "";
        state.programHash = fields.size() > 3 ? fields[3] : "";
        return state.begun;
    }
    if ((kind == kAside || kind == kBringIn) && fields.size() == 2 && !state.movedIn &&
        IsPlainName(fields[1])) {
        state.moves.push_back({kind == kAside ? MoveKind::Aside : MoveKind::BringIn, fields[1]});
        return true;
    }
    if (kind == kMovedIn && fields.size() == 1 && !state.movedIn) {
        state.movedIn = true;
        return true;
    }
    return false;
}

}  // namespace

InstallJournal::InstallJournal(int workFolder, const InstallLock& lock,
                               const std::string& programName, const std::string& programHash)
    : installId_(lock.Id()),
      file_(::openat(workFolder, kJournalName,
                     O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600)) {
    if (file_.Get() < 0) {
        throw ErrnoError(errno, kJournalName);
    }
    Append(std::string(kBegin) + "|" + installId_ + "|" + EscapeRecordField(programName) + "|" +
           programHash);
    // The journal's name must survive a power cut as well as its lines.
    if (!Sync(workFolder)) {
        throw ErrnoError(errno, kJournalName);
    }
}

std::string SealedLine(const std::string& line, const std::string& installId) {
    return line + "|" + Checksum(line, installId) + "\n";
}

void InstallJournal::Append(const std::string& line) {
    if (!WriteAll(file_.Get(), SealedLine(line, installId_)) || !Sync(file_.Get())) {
        throw ErrnoError(errno == 0 ? EIO : errno, kJournalName);
    }
}

void InstallJournal::Record(const JournalMove& move) {
    Append(std::string(move.kind == MoveKind::Aside ? kAside : kBringIn) + "|" +
           EscapeRecordField(move.name));
    moves_.push_back(move);
}

void InstallJournal::RecordMovedIn() {
    Append(kMovedIn);
}

std::optional<JournalState> ReadJournal(int workFolder, const std::string& path,
                                        const InstallLock& lock) {
    if (!EntryStatus(workFolder, kJournalName)) {
        return std::nullopt;
    }
    const UniqueFd file = OpenOwnPrivateFile(workFolder, kJournalName, path);
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        throw ErrnoError(errno, path);
    }
    const std::string text = ReadJournalText(file.Get(), status, path);
    JournalState state;
    // Only whole lines count: a line cut short was being written when the program ended, before
    // the move it names.
    int number = 1;
    for (std::size_t start = 0, end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start), ++number) {
        const std::string_view line = std::string_view(text).substr(start, end - start);
        const std::optional<std::vector<std::string>> fields = UnsealedFields(line, lock.Id());
        if (!fields) {
            throw Refused(path, "has a line that is not sealed: line " + std::to_string(number));
        }
        if (!ReadLine(*fields, lock.Id(), state)) {
            throw Refused(path, "has a line out of place: line " + std::to_string(number));
        }
    }
    return state;
}

bool RemoveJournal(int workFolder) {
    return (::unlinkat(workFolder, kJournalName, 0) == 0 || errno == ENOENT) && Sync(workFolder);
}

}  // namespace gapwell
