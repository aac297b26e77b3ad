#!/usr/bin/env bash
# Times `gapwell find` and `gapwell scan` against `cat FILE > /dev/null` (the cost of copying the
# file out of the page cache) and `find` against Python's mmap.find of the same pattern, on a
# 512 MiB file of typical data and one of hostile data (runs of needed-1 filler bytes), all read
# from the page cache. Each comparison runs its two commands in turn, A B A B ..., and prints the
# median of the per-pair time ratios A/B with the smallest and largest; then gapwell's peak memory
# (GNU time), also on a sparse file of the largest length `find` accepts.
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
# Hostile data: runs of needed-1 filler bytes, each followed by one other byte.
block = b"\xff" * (needed - 1) + b"\x00"
with open(os.path.join(work, "hostile.bin"), "wb") as out:
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

seconds() {  # wall time of one run of the function $1
    local start=$EPOCHREALTIME
    "$1"
    echo "$EPOCHREALTIME - $start" | bc -l
}

# compare NAME A B: A and B in turn, $pairs times; prints A's and B's median seconds and the
# median, smallest and largest of the pair ratios A/B.
compare() {
    local name=$1 a=$2 b=$3 i ta tb
    : >"$work/a"; : >"$work/b"; : >"$work/ratio"
    for ((i = 0; i < pairs; i++)); do
        ta=$(seconds "$a")
        tb=$(seconds "$b")
        echo "$ta" >>"$work/a"
        echo "$tb" >>"$work/b"
        echo "$ta / $tb" | bc -l >>"$work/ratio"
    done
    printf '%-22s %s %.3f s  %s %.3f s  ratio median %.2f  min %.2f  max %.2f\n' "$name" \
        "${a%_run}" "$(median <"$work/a")" "${b%_run}" "$(median <"$work/b")" \
        "$(median <"$work/ratio")" "$(sort -g "$work/ratio" | head -n 1)" \
        "$(sort -g "$work/ratio" | tail -n 1)"
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

peak_mib() {  # peak resident memory of one run of the command, in MiB
    local kib
    kib=$({ /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1)
    echo "$kib / 1024" | bc -l
}

echo "$pairs pairs each, needed $needed, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
for data in typical hostile; do
    file=$work/$data.bin
    cat_run  # into the page cache
    compare "$data find/cat" find_run cat_run
    compare "$data scan/cat" scan_run cat_run
    compare "$data find/python" find_run python_run
done
for data in typical hostile sparse; do
    file=$work/$data.bin
    printf '%-22s find %.1f MiB  scan %.1f MiB\n' "$data peak memory" \
        "$(peak_mib "$gapwell" find "$file" --needed "$needed")" \
        "$(peak_mib "$gapwell" scan "$file" --needed "$needed")"
done
echo "load afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
