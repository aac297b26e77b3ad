#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs each for SECONDS (default 30) on a copy of its seed corpus in
# tests/fuzz/corpus/, so that the inputs it finds never land in the tree. Fails on any crash.
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
declare -A extra_options=([version_line]="-max_len=131072 -timeout=5")

for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    cp tests/fuzz/corpus/"$target"/* "$work/$target/"
    [ "$target" = version_line ] && long_seeds
    # Run from the scratch folder, so that file names the command-line target makes up are
    # looked for there, and crash files land there too.
    (cd "$work" && ASAN_OPTIONS=detect_leaks=1 \
        "$OLDPWD/build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
        ${extra_options[$target]:-} \
        -print_final_stats=1 "$work/$target" 2>"$work/$target.log") ||
        { tail -n 40 "$work/$target.log"; echo "fuzz_$target failed" >&2; exit 1; }
    echo "fuzz_$target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$target.log" | grep -o '[0-9]*$') runs"
done
