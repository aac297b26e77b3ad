#pragma once

#include <iosfwd>
#include <map>
#include <string>

#include "alloc/Allocation.h"
#include "cli/AllocCommand.h"

namespace gapwell::cli {

// Writes what --write and --patch ask for: the new ROM (the input grown by --expand, with the
// bytes in `contents` inserted at the blocks' places, its header complement set by --fix-header)
// and the patch from the input to it, each a new file written whole and renamed into place.
// When an inserted block would overwrite a byte that is not the filler byte and not its own in
// the ledger, names it on `err`, writes nothing and returns 1; else returns 0. The patch is made
// before anything is written, so that an IPS patch that cannot be made leaves no new ROM.
int WriteNewRom(const AllocArguments& arguments, const AllocationRequest& request,
                const Allocation& allocation, const std::map<std::string, std::string>& contents,
                std::ostream& err);

}  // namespace gapwell::cli
