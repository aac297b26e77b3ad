#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <limits>
#include <new>

#include "base/RuntimeError.h"
#include "cli/Commands.h"
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

}  // namespace

int RunCommandLine(int argc, char** argv) {
    CLI::App app{"Finds free space (runs of one filler byte) in Game Boy Advance ROM images.",
                 "gapwell"};
    app.require_subcommand(1);
    RawOptions raw;

    CLI::App* find = app.add_subcommand("find", "First free offset, as the window's Search does");
    AddRomAndRun(*find, raw);
    find->add_option("--from", raw.from, "start offset, hex (default 0)");
    find->add_option("--count", raw.count, "results to list, like Find next (default 1)");
    find->add_option("--interval", raw.interval, "skip interval for --count (default 16)");

    CLI::App* scan = app.add_subcommand("scan", "Every free run in the whole file");
    AddRomAndRun(*scan, raw);
    scan->add_option("--align", raw.align, "alignment, a power of two (default 1)");
    scan->add_flag("--json", raw.json, "print a JSON array");

    CLI::App* info = app.add_subcommand("info", "Length and header facts of a ROM");
    info->add_option("ROM", raw.rom, "ROM file (read only)")->required();
    info->add_flag("--json", raw.json, "print a JSON object");

    try {
        app.parse(argc, argv);
        if (find->parsed()) {
            FindOptions options{
                raw.rom,
                ParseFiller(raw),
                ParseNeeded(raw),
                static_cast<std::int32_t>(ParseHex("--from", raw.from, 8, 0, kMaxInt32)),
                ParseDecimal("--count", raw.count, 1, kMaxInt32),
                ParseDecimal("--interval", raw.interval, 0, kMaxInt32)};
            return RunFind(options, std::cout, std::cerr);
        }
        if (scan->parsed()) {
            return RunScan({raw.rom, ParseFiller(raw), ParseNeeded(raw), ParseAlign(raw), raw.json},
                           std::cout);
        }
        return RunInfo({raw.rom, raw.json}, std::cout, std::cerr);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help
    } catch (const CLI::ParseError& e) {
        std::cerr << "gapwell: " << e.what() << " (see gapwell --help)\n";
    } catch (const BadNumber& e) {
        std::cerr << "gapwell: " << e.message << '\n';
    } catch (const RuntimeError& e) {
        std::cerr << "gapwell: " << e.Description() << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "gapwell: out of memory\n";
    }
    return kExitError;
}

}  // namespace gapwell::cli
