#include "cli/Commands.h"

#include <optional>
#include <ostream>
#include <string>

#include "cli/ErrorLine.h"
#include "cli/Json.h"
#include "cli/ListPrinter.h"
#include "cli/Output.h"
#include "search/FindNextSearch.h"
#include "search/FreeRuns.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "search/modSearchFreeSpace.h"

namespace gapwell::cli {

namespace {

std::string TwoHexDigits(std::uint8_t byte) {
    const std::string hex = ToHex(byte);
    return hex.size() < 2 ? "0" + hex : hex;
}

}  // namespace

int RunFind(const FindOptions& options, std::ostream& out, std::ostream& err) {
    const auto searchFrom = [&options](std::int32_t start) {
        return SearchFreeSpace(options.rom, options.filler, options.needed, start, kSearchChunkSize,
                               0, static_cast<std::int32_t>(options.align));
    };
    FindNextSearch search;
    ListPrinter printer(options.rom, {ListKind::Results, options.json, options.references}, out);
    std::optional<std::int32_t> result = search.Search(options.from, searchFrom);
    if (!result) {
        printer.Finish();
        err << "Not enough free space found.\n";
        return kExitNotFound;
    }
    printer.Add(*result, options.needed);
    // Further results as "Find next" gives them, until one finds nothing.
    for (std::int64_t printed = 1; printed < options.count; ++printed) {
        result = search.FindNext(options.interval, searchFrom);
        if (!result) {
            break;
        }
        printer.Add(*result, options.needed);
    }
    printer.Finish();
    return kExitOk;
}

int RunScan(const ScanOptions& options, std::ostream& out) {
    ListPrinter printer(options.rom, {ListKind::Runs, options.json, options.references}, out);
    ScanFreeRuns(options.rom, options.filler, options.needed, options.align,
                 [&printer](const FreeRun& run) { printer.Add(run.offset, run.length); });
    printer.Finish();
    return kExitOk;
}

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
    const RomFacts facts = ReadRomFacts(options.rom);
    if (!facts.headerComplete) {
        err << "warning: " << EscapeControlCharacters(options.rom) << " is only " << facts.length
            << " bytes long, shorter than a GBA header; header fields show only the bytes it has\n";
    }
    const std::optional<HeaderCheck>& check = facts.headerCheck;
    if (options.json) {
        out << "{\"length\":" << facts.length << ",\"game_code\":" << JsonString(facts.gameCode)
            << ",\"title\":" << JsonString(facts.title)
            << ",\"maker_code\":" << JsonString(facts.makerCode) << ",\"header_check\":";
        if (check) {
            out << "{\"ok\":" << (check->Ok() ? "true" : "false") << ",\"is\":" << +check->is
                << ",\"should_be\":" << +check->shouldBe << "}";
        } else {
            out << "null";
        }
        out << "}\n";
    } else {
        out << "length: " << facts.length << '\n'
            << "game code: " << facts.gameCode << '\n'
            << "title: " << facts.title << '\n'
            << "maker code: " << facts.makerCode << '\n';
        if (check) {
            out << "header check: "
                << (check->Ok() ? std::string("ok")
                                : "wrong (is " + TwoHexDigits(check->is) + ", should be " +
                                      TwoHexDigits(check->shouldBe) + ")")
                << '\n';
        }
    }
    return kExitOk;
}

}  // namespace gapwell::cli
