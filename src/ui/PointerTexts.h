#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace gapwell {

// "Words pointing at its first byte: N (A, B, …)": `count` words, of which `listed` names the
// first in file order; an ellipsis stands for those not listed.
QString PointersAtStartText(std::int64_t count, const std::vector<std::int64_t>& listed);

}  // namespace gapwell
