#include "cli/PatchCommand.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <ostream>

#include "alloc/ListFileReader.h"
#include "alloc/ListFiles.h"
#include "alloc/NewRom.h"
#include "base/ReplacedFile.h"
#include "base/RuntimeError.h"
#include "cli/Commands.h"
#include "cli/FilePaths.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "patch/Crc32.h"
#include "patch/PatchCheck.h"
#include "patch/Patches.h"
#include "search/Numbers.h"

namespace gapwell::cli {

namespace {

// A patch may carry every byte of a whole ROM and some more.
constexpr std::int64_t kLargestPatch = 2 * kLargestPatchedRom;

// The ROM `rom` (whose CRC-32 is `romCrc`) patched by the patch `patchPath`; a refusal names the
// patch.
std::string Patched(const std::string& rom, std::uint32_t romCrc, const std::string& patchPath) {
    const std::string patch = ReadListFile(patchPath, kLargestPatch);
    try {
        return ApplyPatch(patch, rom, romCrc);
    } catch (const RuntimeError& error) {
        throw RuntimeError(error.Number(), patchPath + ": " + error.Description());
    }
}

int RunApply(const PatchArguments& arguments, std::ostream& out) {
    RefuseSpecialOutput("OUT", arguments.out);
    RefuseSameFiles({{"ROM", arguments.rom}, {"PATCH", arguments.patch}, {"OUT", arguments.out}});
    const std::string rom = ReadWholeRom(arguments.rom);
    const std::string patched = Patched(rom, Crc32(rom), arguments.patch);
    ReplaceFileContent(arguments.out, patched);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", Crc32(patched));
    WriteOutput(
        out, arguments.out + ": " + std::to_string(patched.size()) + " bytes, CRC32 " + crc + "\n");
    return kExitOk;
}

std::string PatchNames(const Collision& collision, const std::vector<std::string>& names,
                       bool json) {
    std::string text;
    for (const std::size_t patch : collision.patches) {
        if (!text.empty()) {
            text += json ? "," : ", ";
        }
        text += json ? JsonString(names[patch]) : names[patch];
    }
    return text;
}

std::string CollisionText(const std::vector<Collision>& collisions,
                          const std::vector<std::string>& names, bool json) {
    std::string text = json ? "{\"collisions\":[" : "";
    for (const Collision& collision : collisions) {
        const std::int64_t length = collision.bytes.end - collision.bytes.first;
        if (json) {
            text += std::string(&collision == collisions.data() ? "" : ",") +
                    "{\"offset\":" + std::to_string(collision.bytes.first) +
                    ",\"length\":" + std::to_string(length) + ",\"patches\":[" +
                    PatchNames(collision, names, true) + "],\"block\":" +
                    (collision.block.empty() ? "null" : JsonString(collision.block)) + "}";
        } else {
            text += (collision.block.empty() ? "changed by more than one patch: "
                                             : "in ledger block " + collision.block + ": ") +
                    ToHex(static_cast<std::uint64_t>(collision.bytes.first)) + ", " +
                    std::to_string(length) + " bytes: " + PatchNames(collision, names, false) +
                    "\n";
        }
    }
    if (json) {
        return text + "]}\n";
    }
    return collisions.empty() ? "no collisions\n" : text;
}

int RunCheck(const PatchArguments& arguments, std::ostream& out) {
    const std::string rom = ReadWholeRom(arguments.rom);
    const std::uint32_t romCrc = Crc32(rom);
    std::vector<std::vector<ByteRange>> changes;
    for (const std::string& patch : arguments.patches) {
        changes.push_back(ChangedRanges(rom, Patched(rom, romCrc, patch)));
    }
    std::vector<OwnedBytes> owned;
    if (!arguments.ledger.empty()) {
        for (const Placement& place :
             ParseLedger(ReadListFile(arguments.ledger), arguments.ledger)) {
            owned.push_back({place.name, {place.offset, place.End()}});
        }
    }
    const std::vector<Collision> collisions = FindCollisions(changes, owned);
    WriteOutput(out, CollisionText(collisions, arguments.patches, arguments.json));
    return collisions.empty() ? kExitOk : kExitNotFound;
}

}  // namespace

CLI::App* AddPatchCommand(CLI::App& app, PatchArguments& arguments) {
    CLI::App* patch = app.add_subcommand("patch",
                                         "Applies BPS, UPS and IPS patches and checks "
                                         "where patches collide");
    patch->require_subcommand(1);
    CLI::App* apply = patch->add_subcommand("apply", "Writes OUT: ROM patched by PATCH");
    apply->add_option("ROM", arguments.rom, "ROM file (read only)")->required();
    apply->add_option("PATCH", arguments.patch, "BPS, UPS or IPS patch")->required();
    AddFileOption(*apply, "OUT", arguments.out, "the patched ROM, a new file")->required();
    CLI::App* check =
        patch->add_subcommand("check",
                              "Lists the bytes that two patches, or a patch and a ledger "
                              "block, both change");
    check->add_option("ROM", arguments.rom, "ROM file the patches are for")->required();
    check->add_option("PATCH", arguments.patches, "BPS, UPS or IPS patches")->required();
    AddFileOption(*check, "--ledger", arguments.ledger, "alloc's ledger: the blocks it placed");
    check->add_flag("--json", arguments.json, "print a JSON object");
    return patch;
}

int RunPatch(const CLI::App& patch, const PatchArguments& arguments, std::ostream& out) {
    return patch.get_subcommand("apply")->parsed() ? RunApply(arguments, out)
                                                   : RunCheck(arguments, out);
}

}  // namespace gapwell::cli
