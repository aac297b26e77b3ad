#include "update/ZipExtract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "base/PosixFile.h"
#include "base/RuntimeError.h"
#include "update/NoFollow.h"

namespace gapwell {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

RuntimeError ZipFailure(zip_error_t* error, const std::string& context) {
    return RuntimeError(zip_error_code_zip(error), zip_error_strerror(error) + (": " + context));
}

RuntimeError Refusal(const std::string& why, const std::string& archivePath) {
    return RuntimeError(EFBIG, why + ": " + archivePath);
}

Archive OpenArchive(std::string_view bytes, const std::string& name) {
    zip_error_t error;
    zip_error_init(&error);
    // The buffer stays the caller's (freep 0): the archive reads it in place.
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source == nullptr
                         ? nullptr
                         : zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) {
        zip_source_free(source);  // still ours when opening failed; nullptr is allowed
        const RuntimeError failure = ZipFailure(&error, name);
        zip_error_fini(&error);
        throw failure;
    }
    zip_error_fini(&error);
    return Archive(archive);
}

bool IsPlainEntryName(const std::string& name) {
    return !name.empty() && name != "." && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

struct TakenEntry {
    zip_uint64_t index = 0;
    std::string name;
    zip_uint64_t size = 0;
    mode_t mode = 0644;
};

// The mode of a plain file entry by the attributes its maker recorded: 0755 with an execute
// bit, 0644 without. nullopt for anything else: a Unix file type other than a regular file, or
// the DOS folder bit.
std::optional<mode_t> PlainFileMode(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return std::nullopt;
    }
    if (system == ZIP_OPSYS_UNIX) {
        const mode_t mode = (attributes >> 16) & 0xFFFF;
        const mode_t type = mode & S_IFMT;
        if (type != 0 && type != S_IFREG) {
            return std::nullopt;
        }
        return (mode & 0111) != 0 ? 0755 : 0644;
    }
    constexpr zip_uint32_t kDosFolder = 0x10;
    return (attributes & kDosFolder) == 0 ? std::optional<mode_t>(0644) : std::nullopt;
}

// The entries to unpack, with the bounds checked on the sizes the archive states.
std::vector<TakenEntry> ChooseEntries(zip_t* archive, const std::string& archivePath,
                                      const ExtractBounds& bounds) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<zip_uint64_t>(count) > bounds.maxEntries) {
        throw Refusal("Too many entries in the archive", archivePath);
    }
    std::vector<TakenEntry> taken;
    zip_uint64_t total = 0;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        zip_stat_t status;
        if (zip_stat_index(archive, index, 0, &status) != 0) {
            throw ZipFailure(zip_get_error(archive), archivePath);
        }
        const bool known =
            (status.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE)) == (ZIP_STAT_NAME | ZIP_STAT_SIZE);
        if (!known || !IsPlainEntryName(status.name)) {
            continue;
        }
        const std::optional<mode_t> mode = PlainFileMode(archive, index);
        if (!mode) {
            continue;
        }
        if (status.size > bounds.maxTotalBytes - total) {
            throw Refusal("The archive unpacks to too many bytes", archivePath);
        }
        total += status.size;
        taken.push_back({index, status.name, status.size, *mode});
    }
    return taken;
}

// Copies one entry into `fd`; refuses more bytes than the archive stated for it.
void CopyEntry(zip_t* archive, const TakenEntry& taken, int fd, const std::string& context) {
    Entry entry(zip_fopen_index(archive, taken.index, 0));
    if (!entry) {
        throw ZipFailure(zip_get_error(archive), context);
    }
    std::array<char, std::size_t{64} * 1024> buffer;
    zip_uint64_t copied = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (got < 0) {
            throw ZipFailure(zip_file_get_error(entry.get()), context);
        }
        if (got == 0) {
            break;
        }
        copied += static_cast<zip_uint64_t>(got);
        if (copied > taken.size) {
            throw Refusal("An entry holds more than the archive states", context);
        }
        if (!WriteAll(fd, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            throw ErrnoError(errno, context);
        }
    }
    if (copied != taken.size) {
        throw Refusal("An entry holds less than the archive states", context);
    }
}

// Writes one entry as a new file in `target`; a name taken twice is refused.
void UnpackEntry(zip_t* archive, const TakenEntry& taken, int target, const std::string& context) {
    UniqueFd file(::openat(target, taken.name.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.Get() < 0) {
        if (errno == EEXIST) {
            throw Refusal("Two entries of one name in the archive", context);
        }
        throw ErrnoError(errno, context);
    }
    CopyEntry(archive, taken, file.Get(), context);
    // Set on the descriptor, so that no umask and no other file can change it.
    if (::fchmod(file.Get(), taken.mode) != 0 || ::close(file.Release()) != 0) {
        throw ErrnoError(errno, context);
    }
}

}  // namespace

std::vector<std::string> ExtractTopLevelFiles(std::string_view archiveBytes,
                                              const std::string& archiveName, int target,
                                              const ExtractBounds& bounds) {
    const Archive archive = OpenArchive(archiveBytes, archiveName);
    std::vector<std::string> names;
    for (const TakenEntry& taken : ChooseEntries(archive.get(), archiveName, bounds)) {
        UnpackEntry(archive.get(), taken, target, archiveName + " (" + taken.name + ")");
        names.push_back(taken.name);
    }
    return names;
}

}  // namespace gapwell
