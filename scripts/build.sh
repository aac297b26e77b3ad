#!/usr/bin/env bash
# Sets everything up and builds Gapwell into build/ (or the folder given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${1:-build}
# GAPWELL_CMAKE_ARGS adds settings, e.g. "-DGAPWELL_WERROR=ON" in CI.
# shellcheck disable=SC2086
cmake -G Ninja -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${GAPWELL_CMAKE_ARGS:-} >/dev/null
ninja -C "$build_dir"
