#pragma once

#include <string>
#include <vector>

#include "alloc/Allocation.h"

namespace gapwell::cli {

// Checks that the names the plan gives the blocks (`prefix` + NAME, and NAME_SIZE beside each)
// work in every format the plan is written in. Throws RuntimeError, naming the block, for a
// prefix that does not make names (letters, digits and _, not starting with a digit), a name that
// is a C or C++ keyword (the c header), one of make's special variables (the make plan), two
// names that differ only in case (armips labels ignore case), and a NAME_SIZE that is another
// block's name.
void CheckPlanNames(const std::vector<Block>& blocks, const std::string& prefix);

}  // namespace gapwell::cli
