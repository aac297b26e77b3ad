#include "base/HugePageMemory.h"

#include <new>

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/mman.h>
#endif

namespace gapwell {

HugePageWords AllocateHugePageWords() {
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
    // A huge page needs a block aligned to its size. Advice the kernel does not take (huge pages
    // switched off) leaves small pages, which work as well.
    void* memory = std::aligned_alloc(kHugePageBytes, kHugePageBytes);
    if (memory != nullptr) {
        madvise(memory, kHugePageBytes, MADV_HUGEPAGE);
    }
#else
    void* memory = std::malloc(kHugePageBytes);
#endif
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return HugePageWords(static_cast<std::uint32_t*>(memory));
}

}  // namespace gapwell
