#include "cli/ListPrinter.h"

#include <string>
#include <utility>

#include "cli/Json.h"
#include "cli/Output.h"
#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

std::string Hex(std::int64_t value) {
    return ToHex(static_cast<std::uint64_t>(value));
}

}  // namespace

ListPrinter::ListPrinter(std::string rom, ListFormat format, std::ostream& out,
                         std::size_t batchSize)
    : rom_(std::move(rom)), format_(format), out_(out), batchSize_(batchSize) {
    if (format_.json) {
        WriteOutput(out_, "[");
    }
}

void ListPrinter::Add(std::int64_t offset, std::int64_t length, std::vector<std::string> cutBy) {
    Item item{{offset, offset + length}, std::move(cutBy)};
    if (!format_.references) {
        Print(item, nullptr);
        return;
    }
    batch_.push_back(std::move(item));
    if (batch_.size() == batchSize_) {
        PrintBatch();
    }
}

void ListPrinter::Finish() {
    PrintBatch();
    if (format_.json) {
        WriteOutput(out_, "]\n");
    }
}

void ListPrinter::PrintBatch() {
    if (batch_.empty()) {
        return;
    }
    std::vector<ByteRange> ranges;
    ranges.reserve(batch_.size());
    for (const Item& item : batch_) {
        ranges.push_back(item.range);
    }
    const std::vector<RangePointers> references =
        FindPointers(rom_, std::move(ranges), kListEveryPointer, &words_);
    for (std::size_t i = 0; i < batch_.size(); ++i) {
        Print(batch_[i], &references[i]);
    }
    batch_.clear();
}

void ListPrinter::Print(const Item& listed, const RangePointers* references) {
    const ByteRange& item = listed.range;
    const bool runs = format_.kind == ListKind::Runs;
    // Built by appending only: GCC 12 warns wrongly (-Wrestrict) about a literal added to a
    // temporary string at -O3.
    std::string text;
    if (format_.json) {
        text.append(first_ ? "" : ",").append("{\"offset\":").append(std::to_string(item.first));
        if (runs) {
            text.append(",\"length\":").append(std::to_string(item.end - item.first));
        }
        if (references != nullptr) {
            text.append(runs ? ",\"start_references\":[" : ",\"references\":[");
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                text.append(i == 0 ? "" : ",").append(std::to_string(references->atStart[i]));
            }
            text.append("],\"inside_references\":").append(std::to_string(references->inside));
        }
        if (runs && format_.known) {
            text.append(",\"cut_by\":[");
            for (std::size_t i = 0; i < listed.cutBy.size(); ++i) {
                text.append(i == 0 ? "" : ",").append(JsonString(listed.cutBy[i]));
            }
            text.append("]");
        }
        text.append("}");
    } else {
        text.append(Hex(item.first));
        if (runs) {
            text.append(" ").append(Hex(item.end - item.first));
        }
        if (references != nullptr) {
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                text.append(i == 0 ? " refs " : ",").append(Hex(references->atStart[i]));
            }
            text.append(" inside ").append(std::to_string(references->inside));
        }
        text.append("\n");
    }
    // Results of find can take long to come: each goes out at once, so that a reader sees it and
    // a refused write stops the search there.
    WriteOutput(out_, text, !runs);
    first_ = false;
}

}  // namespace gapwell::cli
