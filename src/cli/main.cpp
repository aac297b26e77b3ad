#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return gapwell::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
