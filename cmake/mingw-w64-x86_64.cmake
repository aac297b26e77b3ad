# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads variant, which has
# std::thread). Programs are linked statically, so gapwell.exe needs no DLL beside it and the
# test programs run under wine without a search path for the MinGW run-time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Libraries and packages come from the MinGW tree and from the folder GAPWELL_WINDOWS_DEPS
# (GoogleTest and CLI11 prepared by scripts/build_windows.sh), never from the build machine's own
# /usr, whose headers are Linux's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${GAPWELL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under wine64 (ctest prefixes every test command with it).
find_program(GAPWELL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(GAPWELL_WINE64 NAMES wine64)
if(GAPWELL_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${GAPWELL_WINE64})
endif()
