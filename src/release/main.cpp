#include <iostream>

#include "release/ReleaseTool.h"

int main(int argc, char** argv) {
    return gapwell::release::RunReleaseTool(argc, argv, std::cout, std::cerr);
}
