#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace gapwell {

class ReadOnlyFile;

// Reads the whole file front to back in chunks of 1 MiB (the last one shorter) and hands each
// to `chunk`, until a read returns nothing. Throws RuntimeError on read failures.
void ForEachChunk(const ReadOnlyFile& file,
                  const std::function<void(const std::uint8_t* data, std::size_t size)>& chunk);

}  // namespace gapwell
