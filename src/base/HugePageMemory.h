#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace gapwell {

// Memory that is written front to back soon after it is taken, in blocks of kHugePageBytes: on
// Linux the system is asked to back them with huge pages, so that filling a block costs one page
// fault rather than 512. Elsewhere, or when the system keeps to small pages, it is plain memory.
// Nothing is written before the caller writes it.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

using HugePageWords = std::unique_ptr<std::uint32_t[], FreeMemory>;

// Room for kHugePageBytes / 4 words; throws std::bad_alloc when there is none.
HugePageWords AllocateHugePageWords();

}  // namespace gapwell
