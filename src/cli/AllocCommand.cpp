#include "cli/AllocCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include "alloc/Allocation.h"
#include "alloc/LedgerLock.h"
#include "alloc/ListFileReader.h"
#include "alloc/ListFiles.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "cli/PlanFormats.h"
#include "cli/PlanNames.h"
#include "cli/StrictNumbers.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"

namespace gapwell::cli {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw RuntimeError(EINVAL, message);
}

// A file option given as "" (an empty make variable, say) would silently drop what it names.
std::string CheckFileName(const std::string& value) {
    return value.empty() ? "an empty file name" : "";
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The file a ledger that is a symbolic link points at, so that the new ledger replaces that file
// and not the link; any other path as it is.
std::string FollowLink(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_symlink(PathOf(path), error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::weakly_canonical(PathOf(path), error);
    if (error) {
        throw RuntimeError(error.value(), path + ": " + error.message());
    }
    const std::u8string text = target.u8string();
    return {text.begin(), text.end()};
}

// The request as the options give it; the list files are read here, each bounded, the ledger
// from `ledger`.
AllocationRequest RequestOf(const AllocArguments& arguments, const std::string& ledger) {
    if (arguments.blocks.empty() && arguments.blocksFile.empty()) {
        Refuse("no blocks to place: give --block NAME:SIZE[:ALIGN] or --blocks FILE");
    }
    AllocationRequest request;
    request.filler = static_cast<std::uint8_t>(ParseHex("--byte", arguments.byte, 2, 0, 0xFF));
    request.range.first = ParseHex("--from", arguments.from, 8, 0, kLargestOffset);
    if (!arguments.to.empty()) {
        request.range.end = ParseHex("--to", arguments.to, 8, 1, kLargestOffset + 1);
    }
    if (request.range.first >= request.range.end) {
        Refuse("--from " + arguments.from + " is not below --to " + arguments.to);
    }
    request.margin = ParseDecimal("--margin", arguments.margin, 0, kLargestOffset);
    for (const std::string& spec : arguments.blocks) {
        request.blocks.push_back(ParseBlockSpec(spec));
    }
    if (!arguments.blocksFile.empty()) {
        for (Block& block :
             ParseBlockList(ReadListFile(arguments.blocksFile), arguments.blocksFile)) {
            request.blocks.push_back(std::move(block));
        }
    }
    if (!arguments.reserveFile.empty()) {
        request.reserved =
            ParseReservedList(ReadListFile(arguments.reserveFile), arguments.reserveFile);
    }
    if (!ledger.empty()) {
        request.earlier = ParseLedger(ReadListFileIfAny(ledger), arguments.ledger);
    }
    for (const std::string& name : arguments.forget) {
        if (!IsBlockName(name)) {
            Refuse("bad name for --forget: \"" + name +
                   "\" (letters, digits and _, not starting with a digit)");
        }
    }
    request.forget = arguments.forget;
    return request;
}

bool RomAddressesFor(const AllocArguments& arguments, PlanFormat format) {
    if (arguments.address.empty()) {
        return GivesRomAddresses(format);
    }
    if (arguments.address != "rom" && arguments.address != "offset") {
        Refuse("bad value for --address: \"" + arguments.address + "\" (expected rom or offset)");
    }
    return arguments.address == "rom";
}

void ReportUnplaced(const Allocation& allocation, std::ostream& err) {
    for (const Block& block : allocation.unplaced) {
        err << "does not fit: " << block.name << " (" << block.size << " bytes, alignment "
            << block.align << ")\n";
    }
    const ByteRange& largest = allocation.largestFree;
    if (largest.end > largest.first) {
        err << "largest free run left: " << largest.end - largest.first << " bytes at "
            << ToHex(static_cast<std::uint64_t>(largest.first)) << '\n';
    } else {
        err << "largest free run left: none\n";
    }
}

void ReportMoved(const Allocation& allocation, const std::vector<std::string>& forgotten,
                 std::ostream& err) {
    for (const Placement& earlier : allocation.moved) {
        const bool wasForgotten =
            std::find(forgotten.begin(), forgotten.end(), earlier.name) != forgotten.end();
        for (const Placement& place : allocation.placed) {
            if (place.name == earlier.name) {
                err << "moved: " << place.name << " from "
                    << ToHex(static_cast<std::uint64_t>(earlier.offset)) << " to "
                    << ToHex(static_cast<std::uint64_t>(place.offset))
                    << (wasForgotten ? " (forgotten, so placed anew)\n"
                                     : " (it no longer fits at its earlier place)\n");
            }
        }
    }
}

// A --from at or past the ROM's end leaves nothing to place blocks in: bad input, not a full ROM.
void CheckFrom(const AllocArguments& arguments, const AllocationRequest& request) {
    const std::int64_t length = RomLength(arguments.rom);
    if (request.range.first >= length) {
        Refuse("--from " + arguments.from + " is at or past the end of the ROM (" +
               ToHex(static_cast<std::uint64_t>(length)) + ")");
    }
}

void WriteLedger(const std::string& ledger, const Allocation& allocation) {
    const std::string text = LedgerText(allocation.Ledger());
    // The next run must be able to read it.
    if (static_cast<std::int64_t>(text.size()) > kListFileLimit) {
        Refuse("the new ledger would be " + std::to_string(text.size()) + " bytes, more than the " +
               std::to_string(kListFileLimit) + " a ledger may hold; it was not written");
    }
    ReplaceFileContent(ledger, text);
}

}  // namespace

CLI::App* AddAllocCommand(CLI::App& app, AllocArguments& arguments) {
    CLI::App* alloc =
        app.add_subcommand("alloc", "Places named blocks in free space and prints the plan");
    alloc->add_option("ROM", arguments.rom, "ROM file (read only)")->required();
    alloc->add_option("--block", arguments.blocks, "NAME:SIZE[:ALIGN], repeatable")
        ->allow_extra_args(false);
    alloc->add_option("--blocks", arguments.blocksFile, "file of NAME SIZE [ALIGN] lines")
        ->check(CheckFileName);
    alloc->add_option("--byte", arguments.byte, "filler byte, 1 or 2 hex digits (default FF)");
    alloc->add_option("--from", arguments.from, "first offset to use, hex (default 0)");
    alloc->add_option("--to", arguments.to, "end of the part to use, hex (default: the ROM's end)");
    alloc->add_option("--margin", arguments.margin,
                      "bytes left free at the start of each run, decimal (default 16)");
    alloc
        ->add_option("--reserve", arguments.reserveFile,
                     "file of START END or START +LENGTH lines (hex) that no block takes")
        ->check(CheckFileName);
    alloc
        ->add_option("--ledger", arguments.ledger,
                     "what earlier runs placed (NAME OFFSET SIZE ALIGN)")
        ->check(CheckFileName);
    alloc->add_flag("--update-ledger", arguments.updateLedger,
                    "write the new ledger when every block has a place");
    alloc->add_option("--forget", arguments.forget, "drop a block from the ledger, repeatable")
        ->allow_extra_args(false);
    alloc->add_option("--format", arguments.format, "text, json, armips, ea, c, make or ld");
    alloc->add_option("--address", arguments.address,
                      "rom (0x08000000 + offset) or offset (default: by format)");
    alloc->add_option("--prefix", arguments.prefix, "put before every name in the plan");
    return alloc;
}

int RunAlloc(const AllocArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto format = PlanFormatNamed(arguments.format);
    if (!format) {
        Refuse("bad value for --format: \"" + arguments.format +
               "\" (expected text, json, armips, ea, c, make or ld)");
    }
    const bool romAddresses = RomAddressesFor(arguments, *format);
    if (arguments.updateLedger && arguments.ledger.empty()) {
        Refuse("--update-ledger needs --ledger FILE");
    }
    const std::string ledger = FollowLink(arguments.ledger);
    // Held from the ledger's reading to its writing, released on every way out.
    std::optional<LedgerLock> lock;
    if (arguments.updateLedger) {
        lock.emplace(ledger);
    }
    const AllocationRequest request = RequestOf(arguments, ledger);
    CheckPlanNames(request.blocks, arguments.prefix);
    CheckFrom(arguments, request);
    const Allocation allocation = AllocateBlocks(arguments.rom, request);
    if (!allocation.Complete()) {
        ReportUnplaced(allocation, err);
        return kExitNotFound;
    }
    const std::string plan =
        PlanText(allocation.placed, allocation.moved, *format, romAddresses, arguments.prefix);
    if (arguments.updateLedger) {
        WriteLedger(ledger, allocation);
    }
    ReportMoved(allocation, arguments.forget, err);
    WriteOutput(out, plan);
    return kExitOk;
}

}  // namespace gapwell::cli
