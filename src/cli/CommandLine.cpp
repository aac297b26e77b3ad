#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <limits>
#include <new>
#include <ostream>

#include "base/RuntimeError.h"
#include "base/Version.h"
#include "cli/AllocCommand.h"
#include "cli/Commands.h"
#include "cli/ErrorLine.h"
#include "cli/Output.h"
#include "cli/PatchCommand.h"
#include "cli/StrictNumbers.h"

namespace gapwell::cli {

namespace {

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// The texts of the options as typed; they are checked strictly after parsing so that every bad
// number gets the same clear message and exit code.
struct RawOptions {
    std::string rom;
    std::string byte = "FF";
    std::string needed = "256";
    std::string from = "0";
    std::string count = "1";
    std::string interval = "16";
    std::string align = "1";
    bool json = false;
    bool references = false;
    std::vector<std::string> known;
};

std::uint8_t ParseFiller(const RawOptions& raw) {
    return static_cast<std::uint8_t>(ParseHex("--byte", raw.byte, 2, 0, 0xFF));
}

std::int32_t ParseNeeded(const RawOptions& raw) {
    return static_cast<std::int32_t>(ParseDecimal("--needed", raw.needed, 1, kMaxInt32));
}

std::int64_t ParseAlign(const RawOptions& raw) {
    const std::int64_t align = ParseDecimal("--align", raw.align, 1, std::int64_t{1} << 30);
    if ((align & (align - 1)) != 0) {
        throw BadNumber{"bad number for --align: \"" + raw.align + "\" (expected a power of two)"};
    }
    return align;
}

// The ROM and the run that find and scan look for.
void AddRomAndRun(CLI::App& command, RawOptions& raw) {
    command.add_option("ROM", raw.rom, "ROM file (read only)")->required();
    command.add_option("--byte", raw.byte, "filler byte, 1 or 2 hex digits (default FF)");
    command.add_option("--needed", raw.needed, "bytes needed, decimal (default 256)");
}

void AddKnown(CLI::App& command, std::vector<std::string>& files) {
    command
        .add_option("--known", files, "build file (symbols, ld map, ELF) of known data, repeatable")
        ->allow_extra_args(false);
}

void AddAlignAndReferences(CLI::App& command, RawOptions& raw) {
    command.add_option("--align", raw.align, "alignment, a power of two (default 1)");
    command.add_flag("--refs", raw.references,
                     "words pointing at each offset, and the count pointing into its bytes");
}

int RunChosenCommand(const CLI::App& find, const CLI::App& scan, const CLI::App& alloc,
                     const CLI::App& patch, const RawOptions& raw,
                     const AllocArguments& allocArguments, const PatchArguments& patchArguments,
                     std::ostream& out, std::ostream& err) {
    if (alloc.parsed()) {
        return RunAlloc(allocArguments, out, err);
    }
    if (patch.parsed()) {
        return RunPatch(patch, patchArguments, out);
    }
    if (find.parsed()) {
        const FindOptions options{
            {raw.rom, ParseFiller(raw), ParseNeeded(raw), ParseAlign(raw), raw.json, raw.references,
             raw.known},
            static_cast<std::int32_t>(ParseHex("--from", raw.from, 8, 0, kMaxInt32)),
            ParseDecimal("--count", raw.count, 1, kMaxInt32),
            ParseDecimal("--interval", raw.interval, 0, kMaxInt32)};
        return RunFind(options, out, err);
    }
    if (scan.parsed()) {
        return RunScan({raw.rom, ParseFiller(raw), ParseNeeded(raw), ParseAlign(raw), raw.json,
                        raw.references, raw.known},
                       out);
    }
    return RunInfo({raw.rom, raw.json, raw.known}, out, err);
}

// When a ROM name begins with "-", the parser takes it for an option and then misses the ROM.
// Returns a message naming the first argument of the chosen command that begins with "-" but is
// none of its options, with the way to pass such a name; empty when there is none.
std::string MisplacedRomMessage(const std::vector<CLI::App*>& commands, int argc,
                                const char* const* argv) {
    const CLI::App* command = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (command == nullptr) {
            for (const CLI::App* candidate : commands) {
                if (candidate->get_name() == argument) {
                    command = candidate;
                }
            }
            continue;
        }
        if (argument == "--") {
            break;
        }
        const std::string name = argument.substr(0, argument.find('='));
        if (name.size() > 1 && name[0] == '-' && command->get_option_no_throw(name) == nullptr) {
            return "\"" + argument + "\" is not an option of " + command->get_name() +
                   "; a ROM whose name begins with \"-\" goes after \"--\", which ends the "
                   "options: gapwell " +
                   command->get_name() + " -- " + argument;
        }
    }
    return {};
}

// The commands' names as a list: "find, scan and info".
std::string ListOfNames(const std::vector<CLI::App*>& commands) {
    std::string names;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (i > 0) {
            names += i + 1 == commands.size() ? " and " : ", ";
        }
        names += commands[i]->get_name();
    }
    return names;
}

// For a first word that is no option and no command: a message naming it and the commands;
// empty when a command comes first or there is no such word.
std::string UnknownCommandMessage(const std::vector<CLI::App*>& commands, int argc,
                                  const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-') {
            continue;
        }
        const bool known = std::any_of(commands.begin(), commands.end(), [&](const CLI::App* c) {
            return c->get_name() == argument;
        });
        return known ? ""
                     : "unknown command \"" + argument + "\"; the commands are " +
                           ListOfNames(commands) + " (see gapwell --help)";
    }
    return {};
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Finds free space (runs of one filler byte) in Game Boy Advance ROM images and places new "
        "data there.",
        "gapwell"};
    app.require_subcommand(1);
    app.set_version_flag("--version",
                         std::string(version::kProductName) + " " + version::kVersionText);
    RawOptions raw;

    CLI::App* find = app.add_subcommand("find", "First free offset, as the window's Search does");
    AddRomAndRun(*find, raw);
    find->add_option("--from", raw.from, "start offset, hex (default 0)");
    find->add_option("--count", raw.count, "results to list, like Find next (default 1)");
    find->add_option("--interval", raw.interval, "skip interval for --count (default 16)");
    AddAlignAndReferences(*find, raw);
    AddKnown(*find, raw.known);
    find->add_flag("--json", raw.json, "print a JSON array");

    CLI::App* scan = app.add_subcommand("scan", "Every free run in the whole file");
    AddRomAndRun(*scan, raw);
    AddAlignAndReferences(*scan, raw);
    AddKnown(*scan, raw.known);
    scan->add_flag("--json", raw.json, "print a JSON array");

    CLI::App* info = app.add_subcommand("info", "Length and header facts of a ROM");
    info->add_option("ROM", raw.rom, "ROM file (read only)")->required();
    info->add_flag("--json", raw.json, "print a JSON object");
    AddKnown(*info, raw.known);

    AllocArguments allocArguments;
    CLI::App* alloc = AddAllocCommand(app, allocArguments);
    PatchArguments patchArguments;
    CLI::App* patch = AddPatchCommand(app, patchArguments);
    AddKnown(*alloc, allocArguments.known);

    std::string failure;
    try {
        app.parse(argc, argv);
        const int exitCode = RunChosenCommand(*find, *scan, *alloc, *patch, raw, allocArguments,
                                              patchArguments, out, err);
        FlushOutput(out);
        return exitCode;
    } catch (const CLI::Success& e) {
        return app.exit(e, out, err);  // --help, --version
    } catch (const CLI::ParseError& e) {
        const bool romGiven =
            !raw.rom.empty() || !allocArguments.rom.empty() || !patchArguments.rom.empty();
        failure = romGiven ? "" : MisplacedRomMessage({find, scan, info, alloc}, argc, argv);
        if (failure.empty()) {
            failure = UnknownCommandMessage({find, scan, info, alloc, patch}, argc, argv);
        }
        if (failure.empty()) {
            failure = std::string(e.what()) + " (see gapwell --help)";
        }
    } catch (const OutputFailed& e) {
        failure = e.message;
    } catch (const BadNumber& e) {
        failure = e.message;
    } catch (const RuntimeError& e) {
        failure = e.Description();
    } catch (const std::bad_alloc&) {
        failure = "out of memory";
    }
    err << "gapwell: " << EscapeControlCharacters(failure) << '\n';
    return kExitError;
}

}  // namespace gapwell::cli
