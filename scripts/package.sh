#!/usr/bin/env bash
# Sets everything up, builds Gapwell into build/ (or the folder given as $1) and makes the Debian
# package there: build/gapwell_<version>_<arch>.deb, its dependencies found by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
bash scripts/build.sh "$build_dir"
(cd "$build_dir" && cpack -G DEB)
