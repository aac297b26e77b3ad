#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "search/Pointers.h"

namespace gapwell::cli {

// What one listed item is: a result of find (offset only) or a run of scan (offset and length).
enum class ListKind { Results, Runs };

struct ListFormat {
    ListKind kind = ListKind::Results;
    bool json = false;
    bool references = false;
    // Runs name the marks of known data that cut them (JSON only: "cut_by").
    bool known = false;
};

// Prints the items of find or scan as they come: one line each (upper-case hex), or one JSON
// array. With references, each item also names the words that point exactly at its offset and
// counts those that point anywhere into its bytes [offset, offset + length): items are then held
// back in batches of `batchSize`, each batch costing one pass over the ROM, so that memory stays
// bounded however many items there are.
//   results: "2000" or "2000 refs 1A2B3C,3F0010 inside 3" or "2000 inside 0";
//            {"offset": ..., "references": [...], "inside_references": N}
//   runs:    "2000 300 refs ... inside N";
//            {"offset": ..., "length": ..., "start_references": [...], "inside_references": N,
//             "cut_by": [...]} ("cut_by" with known data only)
class ListPrinter {
  public:
    static constexpr std::size_t kDefaultBatchSize = std::size_t{1} << 20;

    ListPrinter(std::string rom, ListFormat format, std::ostream& out,
                std::size_t batchSize = kDefaultBatchSize);

    // Items must come with offsets and ends that never go down. `cutBy`: the marks of known data
    // that bound a run.
    void Add(std::int64_t offset, std::int64_t length, std::vector<std::string> cutBy = {});
    // Prints what is held back and closes the JSON array.
    void Finish();
    // With references, where the scan that finds the items picks out the words that may point
    // into the ROM while it reads it, so that the batches after the scan need not read it again;
    // nullptr otherwise.
    PointerWords* Words() { return format_.references ? &words_ : nullptr; }

  private:
    struct Item {
        ByteRange range;
        std::vector<std::string> cutBy;
    };

    void PrintBatch();
    void Print(const Item& item, const RangePointers* references);

    std::string rom_;
    ListFormat format_;
    std::ostream& out_;
    std::size_t batchSize_;
    std::vector<Item> batch_;
    PointerWords words_;
    bool first_ = true;
};

}  // namespace gapwell::cli
