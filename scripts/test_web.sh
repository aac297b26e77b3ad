#!/usr/bin/env bash
# Builds and packs the browser version (scripts/package_web.sh), unpacks the zip and runs three
# test sets on what it holds: the WebAssembly core under node against the native gapwell
# (build/src/cli/gapwell, built when missing), and the page and its "Place blocks" panel in
# headless Chromium, served from 127.0.0.1 by the tests themselves.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package_web.sh
[ -x build/src/cli/gapwell ] || bash scripts/build.sh build
# puppeteer-core, as pinned by the lock file.
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q build-wasm/gapwell-*-web.zip -d "$unpacked"
export GAPWELL_WEB_DIR
GAPWELL_WEB_DIR=$(echo "$unpacked"/gapwell-*-web)
sample=$unpacked/sample.gba
python3 scripts/make_sample_rom.py "$sample"
status=0
node tests/web/compare_cli.js build/src/cli/gapwell "$sample" || status=1
node tests/web/page_test.js build/src/cli/gapwell "$sample" || status=1
node tests/web/place_test.js build/src/cli/gapwell "$sample" || status=1
exit $status
