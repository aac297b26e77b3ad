#pragma once

#include <string>

#include "base/PosixFile.h"

namespace gapwell {

// A temporary file of the program's own. `wanted` names it ("<temp folder>/_upd957k.tmp"), but
// the file goes into a fresh folder (mode 0700) that this object makes in that temporary
// folder: the temporary folder is shared with other users, and a file one of them planted
// under the wanted name must never be read, replaced or taken for the download. The file is
// not created here; Path() is where to put it. Destroying the object deletes the file and the
// folder. Throws RuntimeError when the folder cannot be made.
class PrivateTempFile {
  public:
    explicit PrivateTempFile(const std::string& wanted);
    ~PrivateTempFile();
    PrivateTempFile(const PrivateTempFile&) = delete;
    PrivateTempFile& operator=(const PrivateTempFile&) = delete;

    const std::string& Path() const { return path_; }

  private:
    UniqueFd temp_;
    std::string folderName_;
    std::string path_;
};

}  // namespace gapwell
