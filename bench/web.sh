#!/usr/bin/env bash
# Builds the browser version and the native gapwell when missing, then runs bench/web.js and
# bench/web_place.js (the "Place blocks" panel on a 32 MiB ROM, PAIRS rounds):
#   bash bench/web.sh [PAIRS] [MiB]
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build-web/gapwell-core.wasm ] || bash scripts/build_web.sh
[ -x build/src/cli/gapwell ] || bash scripts/build.sh build
node bench/web.js build/src/cli/gapwell "$@"
node bench/web_place.js build/src/cli/gapwell "${1:-11}"
