#include "update/ZipExtract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "base/RuntimeError.h"
#include "services/WriteAll.h"

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

Archive OpenArchive(const std::string& path) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const RuntimeError failure = ZipFailure(&error, path);
        zip_error_fini(&error);
        throw failure;
    }
    return Archive(archive);
}

bool IsPlainEntryName(const std::string& name) {
    return !name.empty() && name != "." && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

// Whether the entry is a plain file by the attributes its maker recorded: a Unix file type
// other than a regular file, or the DOS folder bit, rules it out.
bool IsRegularEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return false;
    }
    if (system == ZIP_OPSYS_UNIX) {
        const mode_t type = (attributes >> 16) & S_IFMT;
        return type == 0 || type == S_IFREG;
    }
    constexpr zip_uint32_t kDosFolder = 0x10;
    return (attributes & kDosFolder) == 0;
}

struct TakenEntry {
    zip_uint64_t index = 0;
    std::string name;
    zip_uint64_t size = 0;
};

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
        if (!known || !IsPlainEntryName(status.name) || !IsRegularEntry(archive, index)) {
            continue;
        }
        if (status.size > bounds.maxTotalBytes - total) {
            throw Refusal("The archive unpacks to too many bytes", archivePath);
        }
        total += status.size;
        taken.push_back({index, status.name, status.size});
    }
    return taken;
}

// Files unpacked under temporary names in the target folder, removed unless committed.
class StagedFiles {
  public:
    explicit StagedFiles(std::string folder) : folder_(std::move(folder)) {}
    ~StagedFiles() {
        for (const auto& file : files_) {
            ::unlink(file.temporary.c_str());
        }
    }
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Creates an empty temporary file (mode 0644) for `name`; returns its open descriptor.
    int Add(const std::string& name) {
        std::string temporary = folder_ + ".unpack-XXXXXX";
        const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0) {
            throw ErrnoError(errno, folder_);
        }
        files_.push_back({temporary, folder_ + name});
        if (::fchmod(fd, 0644) != 0) {
            const int error = errno;
            ::close(fd);
            throw ErrnoError(error, temporary);
        }
        return fd;
    }

    // Gives every file its final name, replacing what has that name.
    void Commit() {
        while (!files_.empty()) {
            const Staged& file = files_.front();
            if (::rename(file.temporary.c_str(), file.final.c_str()) != 0) {
                throw ErrnoError(errno, file.final);
            }
            files_.erase(files_.begin());
        }
    }

  private:
    struct Staged {
        std::string temporary;
        std::string final;
    };
    std::string folder_;
    std::vector<Staged> files_;
};

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

void UnpackEntry(zip_t* archive, const TakenEntry& taken, StagedFiles& staged,
                 const std::string& context) {
    const int fd = staged.Add(taken.name);
    try {
        CopyEntry(archive, taken, fd, context);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) {
        throw ErrnoError(errno, context);
    }
}

}  // namespace

void ExtractTopLevelFiles(const std::string& archivePath, const std::string& folder,
                          const ExtractBounds& bounds) {
    const Archive archive = OpenArchive(archivePath);
    StagedFiles staged(folder);
    for (const TakenEntry& taken : ChooseEntries(archive.get(), archivePath, bounds)) {
        UnpackEntry(archive.get(), taken, staged, archivePath + " (" + taken.name + ")");
    }
    staged.Commit();
}

}  // namespace gapwell
