#!/usr/bin/env bash
# Times `gapwell scan --refs` beside `gapwell scan` on 32 MiB ROMs read from the page cache:
# mostly data (the sample ROM of scripts/make_sample_rom.py: random bytes, a few free runs, 256 KiB
# of 0xFF at the end), mostly free (0xFF with 64 KiB of random bytes every 1 MiB) and dense with
# pointers (random bytes where every eighth word points into the ROM, and a free run every
# 256 KiB). Each ROM is scanned ten times per measured run, so that a run takes long enough for
# the shell's processor times, and the two commands run in turn, A B A B ... (21 pairs unless
# told more); the ratios are printed as compare.sh prints them. Given a second gapwell, its
# `scan --refs` and `scan` are paired with this build's as well (before and after a change).
# Usage: bench/refs.sh [BUILD_DIR] [PAIRS] [OTHER_GAPWELL]   (PAIRS: at least 21, the default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pairs=${2:-21}
other=${3:-}
gapwell=$build/src/cli/gapwell
[[ -x $gapwell ]] || { echo "no $gapwell: build it first" >&2; exit 1; }
[[ -z $other || -x $other ]] || { echo "no $other" >&2; exit 1; }
(( pairs >= 21 )) || { echo "use at least 21 pairs" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/gapwell-refs.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/pairs.sh

python3 scripts/make_sample_rom.py "$work/data.gba" --size 32
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
size = 32 << 20
generator = random.Random(39)
free = bytearray(b"\xff" * size)
for at in range(0, size, 1 << 20):
    free[at:at + 0x10000] = os.urandom(0x10000)
    free[at + 0x100:at + 0x104] = (0x08000000 + at + 0x20000).to_bytes(4, "little")
with open(os.path.join(work, "free.gba"), "wb") as out:
    out.write(free)
dense = bytearray(os.urandom(size))
for at in range(0, size, 32):
    dense[at:at + 4] = (0x08000000 + generator.randrange(size)).to_bytes(4, "little")
for at in range(0x1000, size - 0x2000, 0x40000):
    length = 256 + generator.randrange(4096)
    dense[at:at + length] = b"\xff" * length
with open(os.path.join(work, "pointers.gba"), "wb") as out:
    out.write(dense)
PY

ten() { local i; for ((i = 0; i < 10; i++)); do "$@" >/dev/null; done; }
refs_run() { ten "$gapwell" scan "$file" --refs; }
scan_run() { ten "$gapwell" scan "$file"; }
other_refs_run() { ten "$other" scan "$file" --refs; }
other_scan_run() { ten "$other" scan "$file"; }

echo "$pairs pairs each, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
for rom in data free pointers; do
    file=$work/$rom.gba
    cat "$file" >/dev/null  # into the page cache
    compare "$rom refs/scan" refs_run scan_run
    if [[ -n $other ]]; then
        compare "$rom other refs/scan" other_refs_run other_scan_run
        compare "$rom refs/other refs" refs_run other_refs_run
    fi
done
echo "load afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
