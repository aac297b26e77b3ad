#!/usr/bin/env bash
# Cross-builds the search core and gapwell.exe for 64-bit Windows with MinGW-w64 into
# build-windows/ (or the folder given as $1) and runs their tests under wine64.
# GoogleTest is built for MinGW from Debian's sources; CLI11's headers are copied beside it, so
# that the build never looks into the build machine's own /usr/include.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh windows
build_dir=$(realpath -m "${1:-build-windows}")
deps=$build_dir/deps
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake

if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -G Ninja -S /usr/src/googletest -B "$build_dir/googletest" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF >/dev/null
    ninja -C "$build_dir/googletest" install >/dev/null
fi
mkdir -p "$deps/include" "$deps/share/cmake"
cp -r /usr/include/CLI "$deps/include/"
cp -r /usr/share/cmake/CLI11 "$deps/share/cmake/"

# GAPWELL_CMAKE_ARGS adds settings, e.g. "-DGAPWELL_WERROR=ON" in CI.
# shellcheck disable=SC2086
cmake -G Ninja -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DGAPWELL_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release ${GAPWELL_CMAKE_ARGS:-} >/dev/null
ninja -C "$build_dir"

# Wine, headless: its own prefix in the build folder, no messages, no Mono or Gecko installer.
export WINEPREFIX=$build_dir/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ctest --test-dir "$build_dir" --output-on-failure --timeout 300
