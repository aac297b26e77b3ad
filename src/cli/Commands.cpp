#include "cli/Commands.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/ErrorLine.h"
#include "cli/Json.h"
#include "cli/ListPrinter.h"
#include "cli/Output.h"
#include "search/KnownData.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "search/SearchQuery.h"

namespace gapwell::cli {

namespace {

std::string TwoHexDigits(std::uint8_t byte) {
    const std::string hex = ToHex(byte);
    return hex.size() < 2 ? "0" + hex : hex;
}

// For info --known: what each build file holds, and the bytes of the ROM its marks cover (those
// without a size up to the end of their run of 0xFF). Text: one line a file; JSON: the value of
// "known", closing the object. Every file is read before anything is printed.
std::string KnownFilesText(const InfoOptions& options) {
    if (options.known.empty()) {
        return {};
    }
    std::ostringstream out;
    out << (options.json ? "[" : "");
    for (std::size_t i = 0; i < options.known.size(); ++i) {
        const BuildFile file = ReadBuildFile(options.known[i]);
        const std::int64_t bytes = KnownData::Resolve(options.rom, 0xFF, file.marks).CoveredBytes();
        std::string counts;
        std::string jsonCounts;
        for (std::size_t kind = 0; kind < kEntryKinds; ++kind) {
            if (file.entries[kind] == 0) {
                continue;
            }
            const auto entryKind = static_cast<EntryKind>(kind);
            std::string key(KindName(entryKind));
            std::replace(key.begin(), key.end(), ' ', '_');
            counts.append(counts.empty() ? "" : ", ")
                .append(KindCount(entryKind, file.entries[kind]));
            jsonCounts.append(jsonCounts.empty() ? "" : ",")
                .append(JsonString(key))
                .append(":")
                .append(std::to_string(file.entries[kind]));
        }
        if (options.json) {
            out << (i == 0 ? "" : ",") << "{\"file\":" << JsonString(options.known[i])
                << ",\"format\":" << JsonString(std::string(FormatName(file.format)))
                << ",\"entries\":{" << jsonCounts << "},\"outside_rom\":" << file.outsideRom
                << ",\"bytes_covered\":" << bytes << "}";
            continue;
        }
        out << "known: " << EscapeControlCharacters(options.known[i]) << " ("
            << FormatName(file.format) << "): " << (counts.empty() ? "no entries" : counts) << "; "
            << file.outsideRom << " outside the ROM; " << bytes << " bytes of the ROM covered\n";
    }
    out << (options.json ? "]}\n" : "");
    return out.str();
}

}  // namespace

int RunFind(const FindOptions& options, std::ostream& out, std::ostream& err) {
    const KnownData known = ReadKnownData(options.rom, options.filler, options.known);
    SearchQuery search(
        {options.filler, options.needed, options.from, options.interval, options.align});
    const SearchQuery::SearchFrom searchFrom = search.In(options.rom, known);
    ListPrinter printer(options.rom, {ListKind::Results, options.json, options.references}, out);
    std::optional<std::int32_t> result = search.Search(searchFrom);
    if (!result) {
        printer.Finish();
        err << "Not enough free space found.\n";
        return kExitNotFound;
    }
    printer.Add(*result, options.needed);
    // Further results as "Find next" gives them, until one finds nothing.
    for (std::int64_t printed = 1; printed < options.count; ++printed) {
        result = search.FindNext(searchFrom);
        if (!result) {
            break;
        }
        printer.Add(*result, options.needed);
    }
    printer.Finish();
    return kExitOk;
}

int RunScan(const ScanOptions& options, std::ostream& out) {
    const KnownData known = ReadKnownData(options.rom, options.filler, options.known);
    ListPrinter printer(options.rom,
                        {ListKind::Runs, options.json, options.references, !options.known.empty()},
                        out);
    const auto list = [&printer](const FreePart& part) {
        printer.Add(part.run.offset, part.run.length, part.cutBy);
    };
    ScanFreeParts(options.rom, options.filler, options.needed, options.align, known, list,
                  printer.Words());
    printer.Finish();
    return kExitOk;
}

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
    const RomFacts facts = ReadRomFacts(options.rom);
    const std::string known = KnownFilesText(options);
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
        out << (options.known.empty() ? "}\n" : ",\"known\":");
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
    out << known;
    return kExitOk;
}

}  // namespace gapwell::cli
