#!/usr/bin/env bash
# Sets everything up and builds Gapwell into build/ (or the folder given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${1:-build}
cmake -G Ninja -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build_dir"
