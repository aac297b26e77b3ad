#include "cli/AllocCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <ostream>

#include "alloc/Allocation.h"
#include "alloc/LedgerLock.h"
#include "alloc/ListFileReader.h"
#include "alloc/ListFiles.h"
#include "alloc/NewRom.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "cli/AllocOutputs.h"
#include "cli/Commands.h"
#include "cli/FilePaths.h"
#include "cli/KnownReservations.h"
#include "cli/Output.h"
#include "cli/PlanFormats.h"
#include "cli/PlanNames.h"
#include "cli/StrictNumbers.h"
#include "patch/Patches.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"

namespace gapwell::cli {

namespace {

[[noreturn]] void Refuse(const std::string& message) {
    throw RuntimeError(EINVAL, message);
}

// The bytes of block `name` from `file`: at least one, at most a whole ROM.
std::string BlockBytes(const std::string& name, const std::string& file) {
    std::string bytes = ReadListFile(file, kLargestRom);
    if (bytes.empty()) {
        Refuse(file + " is empty: block " + name + " needs at least one byte");
    }
    return bytes;
}

// "NAME=FILE" as --insert takes it: the block, its bytes into `contents`.
Block InsertedBlock(const std::string& spec, std::map<std::string, std::string>& contents) {
    const std::size_t equals = spec.find('=');
    const std::string name = spec.substr(0, equals);
    if (equals == std::string::npos || equals + 1 == spec.size() || !IsBlockName(name)) {
        Refuse("bad value for --insert: \"" + spec +
               "\" (expected NAME=FILE, NAME letters, digits and _, not starting with a digit)");
    }
    std::string bytes = BlockBytes(name, spec.substr(equals + 1));
    Block block{name, static_cast<std::int64_t>(bytes.size()), kDefaultBlockAlign};
    contents[name] = std::move(bytes);
    return block;
}

// The size --expand asks for, decimal or hex after "0x"; 0 when not given.
std::int64_t ExpandedLength(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::int64_t length = hex ? ParseHex("--expand", text.substr(2), 8, 1, kLargestRom)
                                    : ParseDecimal("--expand", text, 1, kLargestRom);
    if (length % 4 != 0) {
        Refuse("bad value for --expand: \"" + text + "\" (expected a multiple of 4 bytes)");
    }
    return length;
}

// The request as the options give it; the list files and the blocks' files are read here, each
// bounded, the ledger from `ledger`. The bytes of the blocks that have a file go to `contents`.
AllocationRequest RequestOf(const AllocArguments& arguments, const std::string& ledger,
                            std::map<std::string, std::string>& contents) {
    if (arguments.blocks.empty() && arguments.blocksFile.empty() && arguments.inserts.empty()) {
        Refuse(
            "no blocks to place: give --block NAME:SIZE[:ALIGN], --insert NAME=FILE or --blocks "
            "FILE");
    }
    AllocationRequest request;
    request.length = ExpandedLength(arguments.expand);
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
    for (const std::string& spec : arguments.inserts) {
        request.blocks.push_back(InsertedBlock(spec, contents));
    }
    if (!arguments.blocksFile.empty()) {
        for (BlockLine& line :
             ParseBlockList(ReadListFile(arguments.blocksFile), arguments.blocksFile)) {
            if (!line.file.empty()) {
                std::string bytes = BlockBytes(line.block.name, line.file);
                line.block.size = static_cast<std::int64_t>(bytes.size());
                contents[line.block.name] = std::move(bytes);
            }
            request.blocks.push_back(std::move(line.block));
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
// The ROM grows, never shrinks.
void CheckAgainstRom(const AllocArguments& arguments, const AllocationRequest& request) {
    const std::int64_t romLength = RomLength(arguments.rom);
    if (request.length != 0 && request.length < romLength) {
        Refuse("--expand " + arguments.expand + " is smaller than the ROM (" +
               std::to_string(romLength) + " bytes)");
    }
    const std::int64_t length = std::max(romLength, request.length);
    if (request.range.first >= length) {
        Refuse("--from " + arguments.from + " is at or past the end of the ROM (" +
               ToHex(static_cast<std::uint64_t>(length)) + ")");
    }
}

// The options that write files, checked before anything is read.
void CheckOutputs(const AllocArguments& arguments) {
    if (arguments.write.empty() &&
        (arguments.fixHeader || !arguments.expand.empty() || !arguments.patch.empty())) {
        Refuse("--fix-header, --expand and --patch need --write OUT");
    }
    if (!arguments.patch.empty() && !PatchFormatOfName(arguments.patch)) {
        Refuse("--patch " + arguments.patch +
               ": the name must end in .bps, .ups or .ips, which tells the format");
    }
    RefuseSpecialOutput("--write", arguments.write);
    RefuseSpecialOutput("--patch", arguments.patch);
    RefuseSameFiles({{"ROM", arguments.rom},
                     {"--write", arguments.write},
                     {"--patch", arguments.patch},
                     {"--ledger", arguments.ledger}});
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
    AddFileOption(*alloc, "--blocks", arguments.blocksFile, "file of NAME SIZE [ALIGN] lines");
    alloc->add_option("--byte", arguments.byte, "filler byte, 1 or 2 hex digits (default FF)");
    alloc->add_option("--from", arguments.from, "first offset to use, hex (default 0)");
    alloc->add_option("--to", arguments.to, "end of the part to use, hex (default: the ROM's end)");
    alloc->add_option("--margin", arguments.margin,
                      "bytes left free at the start of each run, decimal (default 16)");
    AddFileOption(*alloc, "--reserve", arguments.reserveFile,
                  "file of START END or START +LENGTH lines (hex) that no block takes");
    AddFileOption(*alloc, "--ledger", arguments.ledger,
                  "what earlier runs placed (NAME OFFSET SIZE ALIGN)");
    alloc->add_flag("--update-ledger", arguments.updateLedger,
                    "write the new ledger when every block has a place");
    alloc->add_option("--forget", arguments.forget, "drop a block from the ledger, repeatable")
        ->allow_extra_args(false);
    alloc->add_option("--format", arguments.format, "text, json, armips, ea, c, make or ld");
    alloc->add_option("--address", arguments.address,
                      "rom (0x08000000 + offset) or offset (default: by format)");
    alloc->add_option("--prefix", arguments.prefix, "put before every name in the plan");
    alloc
        ->add_option("--insert", arguments.inserts,
                     "NAME=FILE: a block of the file's size and bytes, repeatable")
        ->allow_extra_args(false);
    AddFileOption(*alloc, "--write", arguments.write,
                  "write a new ROM: the input with every block's bytes inserted");
    alloc->add_flag("--fix-header", arguments.fixHeader,
                    "set the header's complement byte in the new ROM");
    alloc->add_option("--expand", arguments.expand,
                      "grow the new ROM to SIZE bytes (decimal or 0x hex, up to 32 MiB) of filler");
    AddFileOption(*alloc, "--patch", arguments.patch,
                  "write a patch from the input to the new ROM (.bps, .ups or .ips)");
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
    CheckOutputs(arguments);
    const std::string ledger = FollowLink(arguments.ledger);
    // Held from the ledger's reading to its writing, released on every way out.
    std::optional<LedgerLock> lock;
    if (arguments.updateLedger) {
        lock.emplace(ledger);
    }
    std::map<std::string, std::string> contents;
    AllocationRequest request = RequestOf(arguments, ledger, contents);
    CheckPlanNames(request.blocks, arguments.prefix);
    CheckAgainstRom(arguments, request);
    ReserveKnownData(arguments.rom, arguments.known, request, err);
    const Allocation allocation = AllocateBlocks(arguments.rom, request);
    if (!allocation.Complete()) {
        ReportUnplaced(allocation, err);
        return kExitNotFound;
    }
    const std::string plan =
        PlanText(allocation.placed, allocation.moved, *format, romAddresses, arguments.prefix);
    if (!arguments.write.empty()) {
        const int written = WriteNewRom(arguments, request, allocation, contents, err);
        if (written != kExitOk) {
            return written;
        }
    }
    if (arguments.updateLedger) {
        WriteLedger(ledger, allocation);
    }
    ReportMoved(allocation, arguments.forget, err);
    WriteOutput(out, plan);
    return kExitOk;
}

}  // namespace gapwell::cli
