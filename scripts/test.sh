#!/usr/bin/env bash
# Sets everything up, builds and runs every test (core, command line, windows and the browser
# version).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build
ctest --test-dir build --output-on-failure --timeout 300 -j2
# The browser version: its WebAssembly core against the native gapwell, the page in Chromium.
bash scripts/test_web.sh
