#include "update/InstallJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "base/RuntimeError.h"
#include "services/RecordFields.h"
#include "update/NoFollow.h"

namespace gapwell {

namespace {

// A release of at most 1000 files with names of at most 255 bytes, each escaped, fits easily.
constexpr std::int64_t kMaxJournalBytes = std::int64_t{4} * 1024 * 1024;

constexpr const char* kBegin = "begin";
constexpr const char* kAside = "aside";
constexpr const char* kBringIn = "in";
constexpr const char* kMovedIn = "moved";

// Syncs a file or folder to the disk. A file system that cannot sync (EINVAL, ENOTSUP) is taken
// as it is: there is nothing better to be had on it.
bool Sync(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

RuntimeError Damaged(const std::string& why) {
    return RuntimeError(EINVAL, "The installation journal is damaged: " + why);
}

// The fields of one line, unescaped.
std::vector<std::string> FieldsOf(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0, bar = 0; bar != std::string_view::npos; start = bar + 1) {
        bar = line.find('|', start);
        std::optional<std::string> field = UnescapeRecordField(line.substr(start, bar - start));
        if (!field) {
            throw Damaged(std::string(line));
        }
        fields.push_back(std::move(*field));
    }
    return fields;
}

std::string ReadJournalText(int file, const struct stat& status) {
    if (status.st_size > kMaxJournalBytes) {
        throw Damaged("too large");
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::pread(file, text.data() + done, text.size() - done, off_t(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw ErrnoError(got < 0 ? errno : EIO, kJournalName);
        }
        done += std::size_t(got);
    }
    return text;
}

// A journal names entries directly inside its folders only, whoever wrote it.
const std::string& PlainName(const std::string& name) {
    if (!IsPlainName(name)) {
        throw Damaged("a name outside its folders: " + name);
    }
    return name;
}

// Adds one whole line to `state`; throws when it makes no sense there.
void ReadLine(const std::vector<std::string>& fields, JournalState& state, bool first) {
    const std::string& kind = fields[0];
    if (first != (kind == kBegin)) {
        throw Damaged("it does not begin with the installation");
    }
    if (kind == kBegin && fields.size() == 4) {
        const std::string& pid = fields[1];
        if (std::from_chars(pid.data(), pid.data() + pid.size(), state.waitedProcess).ec !=
            std::errc()) {
            throw Damaged("process " + pid);
        }
        state.travellingName = PlainName(fields[2]);
        state.bootId = fields[3];
    } else if ((kind == kAside || kind == kBringIn) && fields.size() == 2 && !state.movedIn) {
        state.moves.push_back(
            {kind == kAside ? MoveKind::kAside : MoveKind::kBringIn, PlainName(fields[1])});
    } else if (kind == kMovedIn && fields.size() == 1) {
        state.movedIn = true;
    } else {
        throw Damaged("line " + kind);
    }
}

}  // namespace

std::string CurrentBootId() {
    const std::optional<std::vector<std::uint8_t>> id =
        ReadWholeFile("/proc/sys/kernel/random/boot_id", 64);
    std::string text = id ? std::string(id->begin(), id->end()) : std::string();
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

InstallJournal::InstallJournal(int workFolder, int waitedProcess, const std::string& travellingName)
    : file_(::openat(workFolder, kJournalName,
                     O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600)) {
    if (file_.Get() < 0) {
        throw ErrnoError(errno, kJournalName);
    }
    Append(std::string(kBegin) + "|" + std::to_string(waitedProcess) + "|" +
           EscapeRecordField(travellingName) + "|" + EscapeRecordField(CurrentBootId()));
    // The journal's name must survive a power cut as well as its lines.
    if (!Sync(workFolder)) {
        throw ErrnoError(errno, kJournalName);
    }
}

void InstallJournal::Append(const std::string& line) {
    if (!WriteAll(file_.Get(), line + "\n") || !Sync(file_.Get())) {
        throw ErrnoError(errno == 0 ? EIO : errno, kJournalName);
    }
}

void InstallJournal::Record(const JournalMove& move) {
    Append(std::string(move.kind == MoveKind::kAside ? kAside : kBringIn) + "|" +
           EscapeRecordField(move.name));
    moves_.push_back(move);
}

void InstallJournal::RecordMovedIn() {
    Append(kMovedIn);
}

std::optional<JournalState> ReadJournal(int workFolder) {
    const UniqueFd file(
        ::openat(workFolder, kJournalName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT || errno == ELOOP) {
            return std::nullopt;
        }
        throw ErrnoError(errno, kJournalName);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        throw ErrnoError(errno, kJournalName);
    }
    if (!S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const std::string text = ReadJournalText(file.Get(), status);
    JournalState state;
    std::size_t start = 0;
    // Only whole lines count: a line cut short was being written when the program ended, before
    // the move it names.
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start)) {
        ReadLine(FieldsOf(std::string_view(text).substr(start, end - start)), state, start == 0);
    }
    if (start == 0) {
        return JournalState{};  // not even the first line was written: nothing was moved
    }
    return state;
}

bool RemoveJournal(int workFolder) {
    return (::unlinkat(workFolder, kJournalName, 0) == 0 || errno == ENOENT) && Sync(workFolder);
}

}  // namespace gapwell
