#include "cli/ListPrinter.h"

#include <string>
#include <utility>

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

void ListPrinter::Add(std::int64_t offset, std::int64_t length) {
    const ByteRange item{offset, offset + length};
    if (!format_.references) {
        Print(item, nullptr);
        return;
    }
    batch_.push_back(item);
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
    const std::vector<RangeReferences> references = FindReferences(rom_, batch_);
    for (std::size_t i = 0; i < batch_.size(); ++i) {
        Print(batch_[i], &references[i]);
    }
    batch_.clear();
}

void ListPrinter::Print(const ByteRange& item, const RangeReferences* references) {
    const bool runs = format_.kind == ListKind::Runs;
    std::string text;
    if (format_.json) {
        text = std::string(first_ ? "" : ",") + "{\"offset\":" + std::to_string(item.first);
        if (runs) {
            text += ",\"length\":" + std::to_string(item.end - item.first);
        }
        if (references != nullptr) {
            text += runs ? ",\"start_references\":[" : ",\"references\":[";
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                text += (i == 0 ? "" : ",") + std::to_string(references->atStart[i]);
            }
            text += "],\"inside_references\":" + std::to_string(references->inside);
        }
        text += '}';
    } else {
        text = Hex(item.first);
        if (runs) {
            text += ' ' + Hex(item.end - item.first);
        }
        if (references != nullptr) {
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                text += (i == 0 ? " refs " : ",") + Hex(references->atStart[i]);
            }
            text += " inside " + std::to_string(references->inside);
        }
        text += '\n';
    }
    // Results of find can take long to come: each goes out at once, so that a reader sees it and
    // a refused write stops the search there.
    WriteOutput(out_, text, !runs);
    first_ = false;
}

}  // namespace gapwell::cli
