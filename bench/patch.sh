#!/usr/bin/env bash
# Times `gapwell alloc` inserting 1,000 blocks into a 32 MiB ROM and writing the new ROM and a BPS
# patch, in turn with `cp` of the ROM followed by the placement alone (the same alloc without
# --write); then `gapwell patch check` of two patches that each change 1 MiB (a BPS and a UPS),
# and the peak memory of both (GNU time). Prints medians of wall time and the median of the pair
# ratios. Usage: bench/patch.sh [BUILD_DIR] [PAIRS]   (PAIRS: 11 unless told)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pairs=${2:-11}
gapwell=$build/src/cli/gapwell
[[ -x $gapwell ]] || { echo "no $gapwell: build it first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/gapwell-patch.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Random bytes with 5,000 runs of 0xFF (64 to 4159 bytes) and 2 MiB of 0xFF at the end; 1,000
# block files of 4 to 2051 bytes; two files of 1 MiB.
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
random.seed(7)
size = 32 << 20
rom = bytearray(random.randbytes(size))
for i in range(5000):
    at = 0x2000 + i * ((size - (4 << 20)) // 5000)
    length = 64 + random.randrange(4096)
    rom[at:at + length] = b"\xff" * length
rom[size - (2 << 20):] = b"\xff" * (2 << 20)
open(os.path.join(work, "rom.gba"), "wb").write(rom)
os.mkdir(os.path.join(work, "blocks"))
with open(os.path.join(work, "blocks.txt"), "w") as blocks:
    for i in range(1000):
        name = os.path.join(work, "blocks", "b%d.bin" % i)
        open(name, "wb").write(random.randbytes(4 + random.randrange(2048)))
        blocks.write("b%d @%s %d\n" % (i, name, random.choice([1, 2, 4, 4, 4, 16, 256])))
for name in ("one", "two"):
    open(os.path.join(work, name + ".bin"), "wb").write(random.randbytes(1 << 20))
PY
rom=$work/rom.gba

insert_run() { "$gapwell" alloc "$rom" --blocks "$work/blocks.txt" --write "$work/out.gba" \
    --patch "$work/out.bps" >/dev/null; }
copy_and_place_run() { cp "$rom" "$work/copy.gba" && "$gapwell" alloc "$rom" \
    --blocks "$work/blocks.txt" >/dev/null; }
check_run() { "$gapwell" patch check "$rom" "$work/one.bps" "$work/two.ups" >/dev/null || true; }

seconds() {  # wall seconds of one run of the function $1
    local start=$EPOCHREALTIME
    "$1"
    echo "$EPOCHREALTIME - $start" | bc -l
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
peak_mib() {  # peak resident memory of one run of the command, in MiB
    local kib
    kib=$({ /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1)
    echo "$kib / 1024" | bc -l
}

echo "$pairs pairs, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
cat "$rom" >/dev/null
: >"$work/pairs"
for ((i = 0; i < pairs; i++)); do
    a=$(seconds insert_run)
    b=$(seconds copy_and_place_run)
    echo "$a $b $(echo "$a / $b" | bc -l)" >>"$work/pairs"
done
printf 'insert 1,000 blocks + BPS: %.3f s  cp + placement: %.3f s  ratio median %.2f\n' \
    "$(cut -d' ' -f1 "$work/pairs" | median)" "$(cut -d' ' -f2 "$work/pairs" | median)" \
    "$(cut -d' ' -f3 "$work/pairs" | median)"
printf 'insert peak memory: %.1f MiB\n' "$(peak_mib "$gapwell" alloc "$rom" \
    --blocks "$work/blocks.txt" --write "$work/out.gba" --patch "$work/out.bps")"

# Two patches that each insert 1 MiB at the start of the 2 MiB of 0xFF: they overlap.
"$gapwell" alloc "$rom" --insert "one=$work/one.bin" --write "$work/one.gba" \
    --patch "$work/one.bps" >/dev/null
"$gapwell" alloc "$rom" --insert "two=$work/two.bin" --write "$work/two.gba" \
    --patch "$work/two.ups" >/dev/null
: >"$work/checks"
for ((i = 0; i < pairs; i++)); do
    seconds check_run >>"$work/checks"
done
printf 'patch check of two 1 MiB patches: median %.3f s\n' "$(median <"$work/checks")"
printf 'patch check peak memory: %.1f MiB\n' "$(peak_mib "$gapwell" patch check "$rom" \
    "$work/one.bps" "$work/two.ups")"
