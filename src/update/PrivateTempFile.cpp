#include "update/PrivateTempFile.h"

#include <fcntl.h>

#include <cerrno>

#include "base/RuntimeError.h"
#include "update/NoFollow.h"

namespace gapwell {

PrivateTempFile::PrivateTempFile(const std::string& wanted) {
    const std::size_t slash = wanted.rfind('/');
    const std::string temp = slash == std::string::npos ? "./" : wanted.substr(0, slash + 1);
    // The temporary folder is the user's setting and is taken as named, a link included.
    temp_ = UniqueFd(::open(temp.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (temp_.Get() < 0) {
        throw ErrnoError(errno, temp);
    }
    folderName_ = MakeFreshFolder(temp_.Get(), "gapwell-");
    path_ = temp + folderName_ + "/" + wanted.substr(slash + 1);
}

PrivateTempFile::~PrivateTempFile() {
    RemoveWorkFolder(temp_.Get(), folderName_);
}

}  // namespace gapwell
