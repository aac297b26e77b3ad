#include "cli/ListPrinter.h"

#include <ostream>
#include <utility>

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
        out_ << '[';
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
        out_ << "]\n";
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
    if (format_.json) {
        out_ << (first_ ? "" : ",") << "{\"offset\":" << item.first;
        if (runs) {
            out_ << ",\"length\":" << item.end - item.first;
        }
        if (references != nullptr) {
            out_ << (runs ? ",\"start_references\":[" : ",\"references\":[");
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                out_ << (i == 0 ? "" : ",") << references->atStart[i];
            }
            out_ << "],\"inside_references\":" << references->inside;
        }
        out_ << '}';
    } else {
        out_ << Hex(item.first);
        if (runs) {
            out_ << ' ' << Hex(item.end - item.first);
        }
        if (references != nullptr) {
            for (std::size_t i = 0; i < references->atStart.size(); ++i) {
                out_ << (i == 0 ? " refs " : ",") << Hex(references->atStart[i]);
            }
            out_ << " inside " << references->inside;
        }
        out_ << '\n';
    }
    first_ = false;
}

}  // namespace gapwell::cli
