#include "cli/AllocOutputs.h"

#include <algorithm>
#include <ostream>

#include "alloc/NewRom.h"
#include "base/ReplacedFile.h"
#include "cli/Commands.h"
#include "patch/Patches.h"

namespace gapwell::cli {

int WriteNewRom(const AllocArguments& arguments, const AllocationRequest& request,
                const Allocation& allocation, const std::map<std::string, std::string>& contents,
                std::ostream& err) {
    const std::string source = ReadWholeRom(arguments.rom);
    std::string rom = source;
    if (request.length > static_cast<std::int64_t>(rom.size())) {
        rom.resize(static_cast<std::size_t>(request.length), static_cast<char>(request.filler));
    }
    // A forgotten block owns nothing any more.
    std::vector<Placement> owned;
    std::copy_if(request.earlier.begin(), request.earlier.end(), std::back_inserter(owned),
                 [&request](const Placement& place) {
                     return std::find(request.forget.begin(), request.forget.end(), place.name) ==
                            request.forget.end();
                 });
    const std::string collision =
        InsertBlocks(rom, allocation.placed, contents, request.filler, owned);
    if (!collision.empty()) {
        err << collision << '\n';
        return kExitNotFound;
    }
    if (arguments.fixHeader) {
        FixHeaderComplement(rom);
    }
    const std::string patch = arguments.patch.empty()
                                  ? std::string()
                                  : MakePatch(*PatchFormatOfName(arguments.patch), source, rom);
    ReplaceFileContent(arguments.write, rom);
    if (!arguments.patch.empty()) {
        ReplaceFileContent(arguments.patch, patch);
    }
    return kExitOk;
}

}  // namespace gapwell::cli
