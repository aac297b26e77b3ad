#!/usr/bin/env bash
# Builds the browser version of Gapwell: the core, the command line's code and the string tables
# compiled by emscripten into one WebAssembly module (in build-wasm/), and the page: build-web/
# holds only static files, ready for any web server, with the service worker's list of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh web
# Debian's emscripten runs its tools with the system's node, which finds their modules here.
export NODE_PATH=/usr/share/nodejs
# CLI11's headers are copied into the build folder, so that the build never looks into the build
# machine's own /usr/include (whose C headers are not emscripten's).
deps=$PWD/build-wasm/deps
mkdir -p "$deps/include" "$deps/share/cmake"
cp -r /usr/include/CLI "$deps/include/"
cp -r /usr/share/cmake/CLI11 "$deps/share/cmake/"
# shellcheck disable=SC2086
emcmake cmake -G Ninja -S . -B build-wasm -DCMAKE_BUILD_TYPE=Release -DGAPWELL_WITH_WINDOWS=OFF \
    -DCLI11_DIR="$deps/share/cmake/CLI11" ${GAPWELL_CMAKE_ARGS:-} >/dev/null
ninja -C build-wasm gapwell-core
rm -rf build-web
mkdir -p build-web
cp -R web/. build-web/
cp build-wasm/src/web/gapwell-core.js build-wasm/src/web/gapwell-core.wasm build-web/
bash scripts/make_string_ids.sh build-web
bash scripts/make_map_colours.sh build-web
bash scripts/stamp_web_cache.sh build-web
echo "build-web/: $(find build-web -type f | wc -l) files, $(du -sk build-web | cut -f1) KiB"
