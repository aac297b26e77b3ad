#!/usr/bin/env bash
# Compares `gapwell find` and `gapwell scan` with `cat FILE > /dev/null` and Python's mmap.find of
# the same pattern on a 512 MiB file of typical data and one of hostile data (runs of needed-1
# filler bytes), with interleaved repetitions, and prints median times, ratios and gapwell's
# peak memory.
# Usage: bench/compare.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
repetitions=${2:-7}
gapwell=$build/src/cli/gapwell
needed=256
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$needed" <<'PY'
import os, sys
work, needed = sys.argv[1], int(sys.argv[2])
size = 512 << 20
# Typical ROM data: random bytes (so short 0xFF runs occur, long ones do not).
with open(os.path.join(work, "typical.bin"), "wb") as out:
    for _ in range(size >> 24):
        out.write(os.urandom(1 << 24))
# Hostile data: runs of needed-1 filler bytes, each followed by one other byte.
block = b"\xff" * (needed - 1) + b"\x00"
with open(os.path.join(work, "hostile.bin"), "wb") as out:
    out.write(block * (size // len(block)))
PY

cat > "$work/mmap_find.py" <<'PY'
import mmap, sys
with open(sys.argv[1], "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as m:
    print(m.find(b"\xff" * int(sys.argv[2])))
PY

seconds() {  # runs the command once, prints its wall time in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

for data in typical hostile; do
    file=$work/$data.bin
    cat "$file" >/dev/null  # warm the page cache
    : >"$work/$data.cat"; : >"$work/$data.gapwell"; : >"$work/$data.scan"; : >"$work/$data.python"
    for _ in $(seq "$repetitions"); do
        seconds cat "$file" >>"$work/$data.cat"
        seconds "$gapwell" find "$file" --needed "$needed" >>"$work/$data.gapwell"
        seconds "$gapwell" scan "$file" --needed "$needed" >>"$work/$data.scan"
        seconds python3 "$work/mmap_find.py" "$file" "$needed" >>"$work/$data.python"
    done
done

for data in typical hostile; do
    cat_s=$(median <"$work/$data.cat")
    gapwell_s=$(median <"$work/$data.gapwell")
    scan_s=$(median <"$work/$data.scan")
    python_s=$(median <"$work/$data.python")
    # gapwell exits 1 here (nothing found), which is expected.
    peak_kib=$({ /usr/bin/time -f %M "$gapwell" find "$work/$data.bin" --needed "$needed" 2>&1 >/dev/null || true; } | tail -n 1)
    printf '%-8s find %.3f s  scan %.3f s  cat %.3f s  python %.3f s  find/cat %.2f  scan/cat %.2f  find/python %.2f  peak %.1f MiB\n' \
        "$data" "$gapwell_s" "$scan_s" "$cat_s" "$python_s" "$(echo "$gapwell_s / $cat_s" | bc -l)" \
        "$(echo "$scan_s / $cat_s" | bc -l)" \
        "$(echo "$gapwell_s / $python_s" | bc -l)" "$(echo "$peak_kib / 1024" | bc -l)"
    echo "$gapwell_s" >"$work/$data.median"
done
printf 'hostile/typical %.2f\n' "$(echo "$(cat "$work/hostile.median") / $(cat "$work/typical.median")" | bc -l)"

# scan --refs beside scan. With --needed 256 neither file has a run to point at, so the pointer
# pass is skipped; the hostile file's 255-byte runs (about two million) give it work.
: >"$work/refs.scan"; : >"$work/refs.refs"
for _ in $(seq "$repetitions"); do
    seconds "$gapwell" scan "$work/hostile.bin" --needed 255 >>"$work/refs.scan"
    seconds "$gapwell" scan "$work/hostile.bin" --needed 255 --refs >>"$work/refs.refs"
done
scan_s=$(median <"$work/refs.scan")
refs_s=$(median <"$work/refs.refs")
printf 'hostile --needed 255: scan --refs %.3f s  scan %.3f s  refs/scan %.2f\n' "$refs_s" "$scan_s" \
    "$(echo "$refs_s / $scan_s" | bc -l)"
