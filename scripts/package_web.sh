#!/usr/bin/env bash
# Builds the browser version and packs it into build-wasm/gapwell-<version>-web.zip: one folder
# holding the page's static files and LICENSE, which serves as it is from any static web server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build_web.sh
# The version as the core reports it, which the service worker's version begins with.
version=$(sed -n -E "s/^const kVersion = '(.*)-[0-9a-f]+';$/\1/p" build-web/sw.js)
: "${version:?build-web/sw.js names no version}"
name=gapwell-$version-web
rm -rf "build-wasm/$name" "build-wasm/$name.zip"
cp -R build-web "build-wasm/$name"
cp LICENSE "build-wasm/$name/"
(cd build-wasm && zip -qr -X "$name.zip" "$name")
echo "build-wasm/$name.zip: $(du -k "build-wasm/$name.zip" | cut -f1) KiB"
