#!/usr/bin/env bash
# Sets everything up, builds, and runs Gapwell on a ROM: the one given, or a generated sample.
# Usage: scripts/demo.sh [ROM]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build >/dev/null
rom=${1:-build/sample.gba}
if [ $# -eq 0 ]; then
    python3 scripts/make_sample_rom.py "$rom"
    echo "Generated the sample ROM $rom"
fi
gapwell=build/src/cli/gapwell
run() { echo "\$ gapwell $*"; "$gapwell" "$@" || true; echo; }
run info "$rom"
run find "$rom" --needed 512
run find "$rom" --needed 256 --count 4 --interval 16
run scan "$rom" --needed 64
run scan "$rom" --byte 00 --needed 64 --align 4 --json
if [ -x build/src/app/GPW ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "Starting the window: build/src/app/GPW $rom"
        build/src/app/GPW "$rom" &
    else
        echo "No display here. To see the window: build/src/app/GPW $rom (on a desktop), or"
        echo "  xvfb-run -a build/src/app/GPW $rom   (a virtual screen, e.g. for screenshots)"
    fi
fi
