#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "alloc/Allocation.h"

namespace gapwell::cli {

// alloc --known: the known data that the build files `files` give for the request's ROM and filler
// becomes reserved bytes of `request`, and `err` names, for each run of filler long enough for
// the margin and the smallest block, the marks that lie in it.
void ReserveKnownData(const std::string& rom, const std::vector<std::string>& files,
                      AllocationRequest& request, std::ostream& err);

}  // namespace gapwell::cli
