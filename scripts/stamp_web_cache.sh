#!/usr/bin/env bash
# Writes into FOLDER/sw.js (the page's service worker) the list of the page's files and a version
# made of gapwell's version and a digest of those files, so that any change to a file makes a new
# version that browsers fetch, and only such a change. Run by scripts/build_web.sh; run it again
# after changing a file of a built page.
#   bash scripts/stamp_web_cache.sh FOLDER
set -euo pipefail
folder=$1
cd "$folder"
mapfile -t files < <(find . -type f ! -name sw.js ! -name LICENSE | sed 's|^\./||' | LC_ALL=C sort)
digest=$(cat "${files[@]}" | sha256sum | cut -c1-16)
# The version as the core itself reports it.
version=$(NODE_PATH=/usr/share/nodejs node -e 'const fs = require("fs");
  require("./gapwell-core.js")({ wasmBinary: fs.readFileSync("gapwell-core.wasm") })
    .then((core) => console.log(core.about().version));')
list=$(printf '"%s",' "${files[@]}")
sed -i -E -e "s|^const kVersion = .*|const kVersion = '$version-$digest';|" \
    -e "s|^const kFiles = .*|const kFiles = [${list%,}];|" sw.js
