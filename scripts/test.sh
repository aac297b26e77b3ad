#!/usr/bin/env bash
# Sets everything up, builds and runs every test (core, command line and windows).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build
ctest --test-dir build --output-on-failure --timeout 300 -j2
