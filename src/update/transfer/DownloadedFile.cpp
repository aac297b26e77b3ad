#include "update/transfer/DownloadedFile.h"

#include <unistd.h>

#include "base/PosixFile.h"
#include "services/ErrorScope.h"

namespace gapwell {

WriteOutcome WriteDownloadedFile(int folder, const std::string& name, const char* data,
                                 std::size_t size) {
    ErrorScope scope("DownloadFile", "clsDownload");
    // A missing file is the normal case; any other obstacle shows up when creating the file.
    ::unlinkat(folder, name.c_str(), 0);
    // Retry starts the file anew: a failed attempt removed what it had written.
    bool written = false;
    scope.Step([&] {
        WriteNewFile(folder, name, std::string_view(data, size), 0600);
        written = true;
    });
    if (scope.Aborted()) {
        return WriteOutcome::Aborted;
    }
    return written ? WriteOutcome::Written : WriteOutcome::GivenUp;
}

}  // namespace gapwell
