#include "search/KnownData.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

#include "search/ReadOnlyFile.h"

namespace gapwell {

KnownData::KnownData(std::vector<KnownSpan> spans) : spans_(std::move(spans)) {
    std::erase_if(spans_, [](const KnownSpan& span) { return span.range.end <= span.range.first; });
    std::stable_sort(spans_.begin(), spans_.end(), [](const KnownSpan& a, const KnownSpan& b) {
        return a.range.first < b.range.first;
    });
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        const ByteRange& range = spans_[i].range;
        if (blocks_.empty() || range.first > blocks_.back().range.end) {
            blocks_.push_back({range, i, i});
        } else if (range.end > blocks_.back().range.end) {
            blocks_.back().range.end = range.end;
            blocks_.back().lastSpan = i;
        }
    }
}

KnownData KnownData::Resolve(const std::string& rom, std::uint8_t filler,
                             const std::vector<KnownMark>& marks) {
    if (marks.empty()) {
        return {};
    }
    const std::int64_t romSize = ReadOnlyFile(rom).Length();
    std::vector<KnownSpan> spans;
    std::vector<const KnownMark*> unsized;
    for (const KnownMark& mark : marks) {
        if (mark.offset < 0 || mark.offset >= romSize) {
            continue;
        }
        if (mark.size == kUnknownSize) {
            unsized.push_back(&mark);
        } else {
            // Sizes are below 2^41 and offsets below 2^25: the sum cannot overflow.
            spans.push_back({{mark.offset, std::min(mark.offset + mark.size, romSize)}, mark.name});
        }
    }
    if (!unsized.empty()) {
        std::stable_sort(
            unsized.begin(), unsized.end(),
            [](const KnownMark* a, const KnownMark* b) { return a->offset < b->offset; });
        std::size_t next = 0;
        ScanFreeRuns(rom, filler, 1, 1, [&](const FreeRun& run) {
            const std::int64_t end = run.offset + run.length;
            for (; next < unsized.size() && unsized[next]->offset < end; ++next) {
                if (unsized[next]->offset >= run.offset) {
                    spans.push_back({{unsized[next]->offset, end}, unsized[next]->name});
                }
            }
        });
    }
    return KnownData(std::move(spans));
}

std::vector<ByteRange> KnownData::Covered() const {
    std::vector<ByteRange> covered;
    covered.reserve(blocks_.size());
    for (const Block& block : blocks_) {
        covered.push_back(block.range);
    }
    return covered;
}

std::int64_t KnownData::CoveredBytes() const {
    std::int64_t bytes = 0;
    for (const Block& block : blocks_) {
        bytes += block.range.end - block.range.first;
    }
    return bytes;
}

std::vector<KnownData::Block>::const_iterator KnownData::BlockAfter(std::int64_t offset) const {
    return std::upper_bound(
        blocks_.begin(), blocks_.end(), offset,
        [](std::int64_t value, const Block& block) { return value < block.range.end; });
}

std::vector<FreePart> KnownData::FreeParts(const FreeRun& run) const {
    const std::int64_t end = run.offset + run.length;
    std::vector<FreePart> parts;
    std::int64_t partFirst = run.offset;
    const std::string* before = nullptr;  // the mark that ends where the next part begins
    for (auto block = BlockAfter(run.offset); block != blocks_.end() && block->range.first < end;
         ++block) {
        if (block->range.first > partFirst) {
            FreePart part{{partFirst, block->range.first - partFirst}, {}};
            if (before != nullptr) {
                part.cutBy.push_back(*before);
            }
            part.cutBy.push_back(spans_[block->firstSpan].name);
            parts.push_back(std::move(part));
        }
        partFirst = block->range.end;
        before = &spans_[block->lastSpan].name;
    }
    if (partFirst < end) {
        FreePart part{{partFirst, end - partFirst}, {}};
        if (before != nullptr) {
            part.cutBy.push_back(*before);
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

std::int64_t KnownData::KnownEndFrom(const ByteRange& range) const {
    const auto block = BlockAfter(range.first);
    return block != blocks_.end() && block->range.first < range.end ? block->range.end
                                                                    : range.first;
}

std::vector<const KnownSpan*> KnownData::SpansIn(const ByteRange& range, std::size_t limit) const {
    std::vector<const KnownSpan*> found;
    for (auto block = BlockAfter(range.first);
         block != blocks_.end() && block->range.first < range.end; ++block) {
        const std::size_t last =
            block + 1 == blocks_.end() ? spans_.size() : (block + 1)->firstSpan;
        for (std::size_t i = block->firstSpan; i < last && found.size() < limit; ++i) {
            if (spans_[i].range.end > range.first && spans_[i].range.first < range.end) {
                found.push_back(&spans_[i]);
            }
        }
    }
    return found;
}

const std::string* KnownData::NameIn(const ByteRange& range) const {
    const auto size = [](const KnownSpan* span) { return span->range.end - span->range.first; };
    const KnownSpan* smallest = nullptr;
    for (const KnownSpan* span : SpansIn(range, spans_.size())) {
        if (smallest == nullptr || size(span) < size(smallest)) {
            smallest = span;
        }
    }
    return smallest == nullptr ? nullptr : &smallest->name;
}

std::vector<KnownMark> ReadKnownMarks(const std::vector<std::string>& files) {
    std::vector<KnownMark> marks;
    for (const std::string& path : files) {
        BuildFile file = ReadBuildFile(path);
        std::move(file.marks.begin(), file.marks.end(), std::back_inserter(marks));
    }
    return marks;
}

KnownData ReadKnownData(const std::string& rom, std::uint8_t filler,
                        const std::vector<std::string>& files) {
    return KnownData::Resolve(rom, filler, ReadKnownMarks(files));
}

void ScanFreeParts(const std::string& path, std::uint8_t filler, std::int64_t needed,
                   std::int64_t align, const KnownData& known,
                   const std::function<void(const FreePart&)>& report, PointerWords* words) {
    if (known.Empty()) {
        const auto whole = [&report](const FreeRun& run) { report({run, {}}); };
        ScanFreeRuns(path, filler, needed, align, whole, words);
        return;
    }
    // Whole runs first: a part's alignment counts from where the part begins.
    const auto cut = [&](const FreeRun& run) {
        for (FreePart& part : known.FreeParts(run)) {
            const std::int64_t end = part.run.offset + part.run.length;
            const std::int64_t aligned = (part.run.offset + align - 1) & ~(align - 1);
            if (end - aligned >= needed) {
                part.run = {aligned, end - aligned};
                report(part);
            }
        }
    };
    ScanFreeRuns(path, filler, needed, 1, cut, words);
}

std::int32_t SearchOutsideKnown(const KnownData& known, std::int64_t needed, std::int64_t start,
                                const std::function<std::int32_t(std::int32_t start)>& search) {
    while (start <= std::numeric_limits<std::int32_t>::max()) {
        const std::int32_t result = search(static_cast<std::int32_t>(start));
        if (result == 0) {
            return 0;
        }
        start = known.KnownEndFrom({result, result + needed});
        if (start == result) {
            return result;
        }
    }
    return 0;
}

}  // namespace gapwell
