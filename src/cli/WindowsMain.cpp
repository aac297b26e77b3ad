// The Windows entry point of gapwell.exe: arguments arrive in UTF-16 and are handed on in UTF-8;
// output is UTF-8 with the same bytes (and "\n" line ends) as on other systems.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "base/WindowsText.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace {

// Shows UTF-8 output correctly in a console window, and gives the console back its own code
// page afterwards, since the setting outlives the program.
class Utf8Console {
  public:
    Utf8Console() : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0) {
            SetConsoleOutputCP(CP_UTF8);
        }
    }
    ~Utf8Console() {
        if (previous_ != 0) {
            SetConsoleOutputCP(previous_);
        }
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    UINT previous_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const Utf8Console console;
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    try {
        for (int i = 0; i < argc; ++i) {
            arguments.push_back(gapwell::WideToUtf8(argv[i], "argument " + std::to_string(i)));
        }
    } catch (const gapwell::RuntimeError& error) {
        std::cerr << "gapwell: " << error.Description() << '\n';
        return gapwell::cli::kExitError;
    }
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return gapwell::cli::RunCommandLine(argc, pointers.data(), std::cout, std::cerr);
}
