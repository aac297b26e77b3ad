#!/usr/bin/env bash
# Times `gapwell find` and `gapwell scan` against `cat FILE > /dev/null` (the cost of copying the
# file out of the page cache) and `find` against Python's mmap.find of the same pattern, on
# 512 MiB files read from the page cache: typical data (random bytes), hostile data (runs of
# needed-1 filler bytes) and dense data (runs of needed/2 filler bytes, where every other byte has
# to be looked at). Each comparison runs its two commands in turn, A B A B ..., and prints the
# median of the per-pair ratios A/B with the smallest and largest, of wall time and of processor
# time (user + system, which other work on a busy machine disturbs less); then gapwell's peak
# memory (GNU time), also on a sparse file of the largest length `find` accepts.
# Usage: bench/compare.sh [BUILD_DIR] [PAIRS]   (PAIRS: at least 21, the default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pairs=${2:-21}
gapwell=$build/src/cli/gapwell
needed=256
[[ -x $gapwell ]] || { echo "no $gapwell: build it first" >&2; exit 1; }
(( pairs >= 21 )) || { echo "use at least 21 pairs" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/gapwell-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$needed" <<'PY'
import os, sys
work, needed = sys.argv[1], int(sys.argv[2])
size = 512 << 20
# Typical ROM data: random bytes (so short 0xFF runs occur, long ones do not).
with open(os.path.join(work, "typical.bin"), "wb") as out:
    for _ in range(size >> 24):
        out.write(os.urandom(1 << 24))
# Random bytes with a free run of 1 KiB every 256 KiB.
with open(os.path.join(work, "runs.bin"), "wb") as out:
    for _ in range(size >> 24):
        chunk = bytearray(os.urandom(1 << 24))
        for at in range(0, len(chunk), 1 << 18):
            chunk[at + 0x1000:at + 0x1400] = b"\xff" * 0x400
        out.write(chunk)
# Runs of filler bytes, each followed by one other byte.
for name, run in (("hostile", needed - 1), ("dense", needed // 2)):
    block = b"\xff" * run + b"\x00"
    with open(os.path.join(work, name + ".bin"), "wb") as out:
        out.write(block * (size // len(block)))
PY
truncate -s 2147483647 "$work/sparse.bin"  # zeros, read without touching the disk

cat >"$work/mmap_find.py" <<'PY'
import mmap, sys
with open(sys.argv[1], "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as m:
    print(m.find(b"\xff" * int(sys.argv[2])))
PY

# The commands compared; $file is the data file. gapwell exits 1 when it finds nothing.
find_run() { "$gapwell" find "$file" --needed "$needed" >/dev/null 2>&1 || true; }
scan_run() { "$gapwell" scan "$file" --needed "$needed" >/dev/null; }
cat_run() { cat "$file" >/dev/null; }
python_run() { python3 "$work/mmap_find.py" "$file" "$needed" >/dev/null; }

source bench/pairs.sh

peak_mib() {  # peak resident memory of one run of the command, in MiB
    local kib
    kib=$({ /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1)
    echo "$kib / 1024" | bc -l
}

echo "$pairs pairs each, needed $needed, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
for data in typical hostile dense; do
    file=$work/$data.bin
    cat_run  # into the page cache
    compare "$data find/cat" find_run cat_run
    compare "$data scan/cat" scan_run cat_run
    compare "$data find/python" find_run python_run
done
for data in typical hostile dense sparse; do
    file=$work/$data.bin
    printf '%-22s find %.1f MiB  scan %.1f MiB\n' "$data peak memory" \
        "$(peak_mib "$gapwell" find "$file" --needed "$needed")" \
        "$(peak_mib "$gapwell" scan "$file" --needed "$needed")"
done

# scan --refs beside scan. With --needed 256 the typical file has no run to point at, so the
# pointer pass is skipped; the hostile file's 255-byte runs (about two million, two batches)
# give it many ranges, the runs file few ranges in random bytes, where about one word in seven
# points somewhere into 512 MiB and has to be looked up.
refs_scan_run() { "$gapwell" scan "$file" --needed 255 >/dev/null; }
refs_run() { "$gapwell" scan "$file" --needed 255 --refs >/dev/null; }
for data in hostile runs; do
    file=$work/$data.bin
    cat_run
    compare "$data refs/scan" refs_run refs_scan_run
done
echo "load afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
