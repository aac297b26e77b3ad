#include "cli/AllocCommand.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <ostream>

#include "alloc/Allocation.h"
#include "alloc/ListFileReader.h"
#include "alloc/ListFiles.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "cli/Commands.h"
#include "cli/KnownReservations.h"
#include "cli/Output.h"
#include "cli/PlanFormats.h"
#include "cli/StrictNumbers.h"
#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw RuntimeError(EINVAL, message);
}

// The request as the options give it; the list files are read here, each bounded.
AllocationRequest RequestOf(const AllocArguments& arguments) {
    if (arguments.blocks.empty() && arguments.blocksFile.empty()) {
        Refuse("no blocks to place: give --block NAME:SIZE[:ALIGN] or --blocks FILE");
    }
    if (arguments.updateLedger && arguments.ledger.empty()) {
        Refuse("--update-ledger needs --ledger FILE");
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
    if (!arguments.ledger.empty()) {
        request.earlier = ParseLedger(ReadListFileIfAny(arguments.ledger), arguments.ledger);
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
        const auto smallest =
            std::min_element(allocation.unplaced.begin(), allocation.unplaced.end(),
                             [](const Block& a, const Block& b) { return a.size < b.size; });
        err << "no free run of " << smallest->size << " bytes or more is left\n";
    }
}

void ReportMoved(const Allocation& allocation, std::ostream& err) {
    for (const Placement& earlier : allocation.moved) {
        for (const Placement& place : allocation.placed) {
            if (place.name == earlier.name) {
                err << "moved: " << place.name << " from "
                    << ToHex(static_cast<std::uint64_t>(earlier.offset)) << " to "
                    << ToHex(static_cast<std::uint64_t>(place.offset))
                    << " (it no longer fits at its earlier place)\n";
            }
        }
    }
}

}  // namespace

CLI::App* AddAllocCommand(CLI::App& app, AllocArguments& arguments) {
    CLI::App* alloc =
        app.add_subcommand("alloc", "Places named blocks in free space and prints the plan");
    alloc->add_option("ROM", arguments.rom, "ROM file (read only)")->required();
    alloc->add_option("--block", arguments.blocks, "NAME:SIZE[:ALIGN], repeatable")
        ->allow_extra_args(false);
    alloc->add_option("--blocks", arguments.blocksFile, "file of NAME SIZE [ALIGN] lines");
    alloc->add_option("--byte", arguments.byte, "filler byte, 1 or 2 hex digits (default FF)");
    alloc->add_option("--from", arguments.from, "first offset to use, hex (default 0)");
    alloc->add_option("--to", arguments.to, "end of the part to use, hex (default: the ROM's end)");
    alloc->add_option("--margin", arguments.margin,
                      "bytes left free at the start of each run, decimal (default 16)");
    alloc->add_option("--reserve", arguments.reserveFile,
                      "file of START END or START +LENGTH lines (hex) that no block takes");
    alloc->add_option("--ledger", arguments.ledger,
                      "what earlier runs placed (NAME OFFSET SIZE ALIGN)");
    alloc->add_flag("--update-ledger", arguments.updateLedger,
                    "write the new ledger when every block has a place");
    alloc->add_option("--forget", arguments.forget, "drop a block from the ledger, repeatable")
        ->allow_extra_args(false);
    alloc->add_option("--format", arguments.format, "text, json, armips, ea, c, make or ld");
    alloc->add_option("--address", arguments.address,
                      "rom (0x08000000 + offset) or offset (default: by format)");
    return alloc;
}

int RunAlloc(const AllocArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto format = PlanFormatNamed(arguments.format);
    if (!format) {
        Refuse("bad value for --format: \"" + arguments.format +
               "\" (expected text, json, armips, ea, c, make or ld)");
    }
    const bool romAddresses = RomAddressesFor(arguments, *format);
    AllocationRequest request = RequestOf(arguments);
    ReserveKnownData(arguments.rom, arguments.known, request, err);
    const Allocation allocation = AllocateBlocks(arguments.rom, request);
    if (!allocation.Complete()) {
        ReportUnplaced(allocation, err);
        return kExitNotFound;
    }
    const std::string plan = PlanText(allocation.placed, allocation.moved, *format, romAddresses);
    if (arguments.updateLedger) {
        ReplaceFileContent(arguments.ledger, LedgerText(allocation.Ledger()));
    }
    ReportMoved(allocation, err);
    WriteOutput(out, plan);
    return kExitOk;
}

}  // namespace gapwell::cli
