// Build files of any content: each is read or refused with RuntimeError, and every mark read lies
// in the ROM's 32 MiB with a size that is unknown or at least 1; every entry is counted.
#include <cstdlib>
#include <numeric>
#include <string_view>

#include "base/RuntimeError.h"
#include "search/BuildFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const gapwell::BuildFile file = gapwell::ParseBuildFile(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
        for (const gapwell::KnownMark& mark : file.marks) {
            if (mark.offset < 0 || mark.offset >= 0x02000000 ||
                (mark.size != gapwell::kUnknownSize && mark.size < 1)) {
                std::abort();
            }
        }
        const std::int64_t entries =
            std::accumulate(file.entries.begin(), file.entries.end(), std::int64_t{0});
        if (entries != static_cast<std::int64_t>(file.marks.size()) + file.outsideRom) {
            std::abort();
        }
    } catch (const gapwell::RuntimeError&) {
        // refused with its one line
    }
    return 0;
}
