#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs each for SECONDS (default 30) on a copy of its seed corpus in
# tests/fuzz/corpus/, so that the inputs it finds never land in the tree, one target per core at
# a time. Fails on any crash.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
# The targets tests/fuzz/CMakeLists.txt builds: every line of the list but its comments.
mapfile -t targets < <(grep -E '^[a-z_]+$' tests/fuzz/targets.list)

CC=clang CXX=clang++ cmake -G Ninja -S . -B build-fuzz -DGAPWELL_WITH_WINDOWS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    >/dev/null
ninja -C build-fuzz "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Long seeds for the version line: a server may send lines of many kilobytes of separators or
# dots, which must neither crash the reader nor slow it down (libFuzzer's -timeout catches that).
long_seeds() {
    head -c 65536 /dev/zero | tr '\0' '|' >"$work/version_line/long_bars"
    { printf 'Gapwell|'; head -c 65536 /dev/zero | tr '\0' '.'; printf '|https://h/GPW.zip'; } \
        >"$work/version_line/long_dots"
    { printf 'Gapwell|1.2.4|https://h/'; head -c 60000 /dev/zero | tr '\0' 'a'; printf '/GPW.zip'; } \
        >"$work/version_line/long_url"
}
# Runs one target on a copy of its seeds, from a scratch folder of its own, so that file names the
# command-line target makes up are looked for there, and crash files land there too.
fuzz_one() {
    local target=$1 options=""
    mkdir -p "$work/$target" "$work/$target.scratch"
    cp tests/fuzz/corpus/"$target"/* "$work/$target/"
    if [ "$target" = version_line ]; then
        long_seeds
        options="-max_len=131072 -timeout=5"
    fi
    # shellcheck disable=SC2086 # options holds separate libFuzzer flags
    if ! (cd "$work/$target.scratch" && ASAN_OPTIONS=detect_leaks=1 \
        "$root/build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" $options \
        -print_final_stats=1 "$work/$target" 2>"$work/$target.log"); then
        tail -n 40 "$work/$target.log"
        echo "fuzz_$target failed" >&2
        return 1
    fi
    echo "fuzz_$target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$target.log" | grep -o '[0-9]*$') runs"
}

# One target per core at a time: each fuzzer is a single process, so CI's wall time is halved on
# two cores without shortening any target's run.
root=$PWD
export root work seconds
export -f fuzz_one long_seeds
printf '%s\n' "${targets[@]}" | xargs -P "$(nproc)" -I{} bash -c 'fuzz_one "$1"' _ {}
