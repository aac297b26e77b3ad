#include "support/TestZip.h"

#include <sys/stat.h>
#include <zip.h>

#include <stdexcept>

namespace gapwell::test {

namespace {

void Check(bool ok, zip_t* archive) {
    if (!ok) {
        throw std::runtime_error(zip_strerror(archive));
    }
}

struct ExternalAttributes {
    zip_uint8_t system;
    zip_uint32_t bits;
};

ExternalAttributes AttributesOf(const ZipEntry& entry) {
    constexpr zip_uint32_t kDosFolderBit = 0x10;
    constexpr zip_uint32_t kDosArchiveBit = 0x20;
    switch (entry.kind) {
        case ZipEntry::Kind::kDosFile:
            return {ZIP_OPSYS_DOS, kDosArchiveBit};
        case ZipEntry::Kind::kDosFolder:
            return {ZIP_OPSYS_DOS, kDosFolderBit};
        case ZipEntry::Kind::kLink:
            return {ZIP_OPSYS_UNIX, zip_uint32_t{S_IFLNK | 0777} << 16};
        case ZipEntry::Kind::kFile:
        case ZipEntry::Kind::kFolder:
            break;
    }
    return {ZIP_OPSYS_UNIX, zip_uint32_t{S_IFREG | entry.mode} << 16};
}

}  // namespace

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    for (const ZipEntry& entry : entries) {
        if (entry.kind == ZipEntry::Kind::kFolder) {
            Check(zip_dir_add(archive, entry.name.c_str(), ZIP_FL_ENC_UTF_8) >= 0, archive);
            continue;
        }
        zip_source_t* source =
            zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
        Check(source != nullptr, archive);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            Check(false, archive);
        }
        const ExternalAttributes attributes = AttributesOf(entry);
        Check(zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                               attributes.system, attributes.bits) == 0,
              archive);
    }
    Check(zip_close(archive) == 0, archive);
}

}  // namespace gapwell::test
