#!/usr/bin/env bash
# Builds the browser version and packs it into build-wasm/gapwell-<version>-web.zip: one folder
# holding the page's static files and LICENSE, which serves as it is from any static web server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build_web.sh
# The version as the core itself reports it.
version=$(node -e 'const fs = require("fs");
  require("./build-web/gapwell-core.js")({ wasmBinary: fs.readFileSync("build-web/gapwell-core.wasm") })
    .then((core) => console.log(core.about().version));')
name=gapwell-$version-web
rm -rf "build-wasm/$name" "build-wasm/$name.zip"
cp -R build-web "build-wasm/$name"
cp LICENSE "build-wasm/$name/"
(cd build-wasm && zip -qr -X "$name.zip" "$name")
echo "build-wasm/$name.zip: $(du -k "build-wasm/$name.zip" | cut -f1) KiB"
