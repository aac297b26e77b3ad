#pragma once

#include <string>
#include <vector>

namespace gapwell::test {

// One entry of a zip archive made by a test. A link's content is its target. A file's Unix
// mode bits go into its external attributes; a DOS entry carries DOS attributes instead: the
// archive bit for a file, the folder bit for a folder stored without a final "/".
struct ZipEntry {
    enum class Kind { kFile, kFolder, kLink, kDosFile, kDosFolder };
    std::string name;
    std::string content;
    Kind kind = Kind::kFile;
    unsigned mode = 0644;
};

// Writes a zip archive holding `entries`, names stored exactly as given.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

}  // namespace gapwell::test
