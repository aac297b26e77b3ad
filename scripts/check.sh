#!/usr/bin/env bash
# The source checks CI runs before the tests: formatting of every source file, and clang-tidy
# (the checks listed in .clang-tidy) over every .cpp under src/, at any depth, and through them
# every .h under src/ that they include:
# - the files of this machine's build through BUILD_DIR's compile commands;
# - the browser build's own files (src/web, the browser's file reader) through build-wasm's,
#   with emscripten's target and headers (scripts/build_web.sh makes build-wasm);
# - the Windows-only files with the flags of their neighbours, aimed at MinGW-w64's headers.
# A .cpp under src/ that none of these reaches is a failure, so no file goes unchecked unseen.
# Usage: scripts/check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
wasm_dir=build-wasm
jobs=$(nproc)

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The files of a compile database under src/, one a line.
sources_of() {
    python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].startswith(sys.argv[2]):
        print(entry["file"])' "$1/compile_commands.json" "$PWD/src/"
}

# emscripten's compiler flags that set the target, its headers and its macros, as clang-tidy
# arguments (its code-generation flags mean nothing to clang-tidy).
emscripten_arguments() {
    local flags
    read -ra flags <<<"$(em++ --cflags)"
    for ((i = 0; i < ${#flags[@]}; i++)); do
        case "${flags[i]}" in
        -target) echo "--extra-arg-before=--target=${flags[++i]}" ;;
        -Xclang) printf '%s\n' "--extra-arg-before=-Xclang" "--extra-arg-before=${flags[++i]}" ;;
        -mllvm) ((++i)) ;;
        -D* | --sysroot=*) echo "--extra-arg-before=${flags[i]}" ;;
        esac
    done
}

# MinGW-w64's target and C++ headers (clang does not find GCC's), with the macros that CMake
# defines for Windows.
mingw_arguments() {
    printf '%s\n' --extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-DNOMINMAX \
        --extra-arg=-DWIN32_LEAN_AND_MEAN
    x86_64-w64-mingw32-g++-posix -xc++ -E -v - </dev/null 2>&1 |
        sed -n '/#include <...>/,/^End/p' | grep '/c++' | sed 's/^ */--extra-arg=-isystem/'
}

log=$(mktemp)
all=$(mktemp)
native=$(mktemp)
browser=$(mktemp)
windows=$(mktemp)
trap 'rm -f "$log" "$all" "$native" "$browser" "$windows"' EXIT
find "$PWD/src" -name '*.cpp' | sort >"$all"
sources_of "$build_dir" | sort -u >"$native"
if [ -f "$wasm_dir/compile_commands.json" ]; then
    sources_of "$wasm_dir" | sort -u | comm -23 - "$native" >"$browser"
fi
# What neither build compiles here: the Windows-only files, if the names say so.
comm -23 "$all" <(sort -u "$native" "$browser") >"$windows"
unreached=$(grep -Ev '(Win32|Windows)[A-Za-z]*\.cpp$' "$windows" || true)
if [ -n "$unreached" ]; then
    echo "clang-tidy: no compile commands for these files (scripts/build_web.sh makes build-wasm's):" >&2
    echo "$unreached" >&2
    exit 1
fi
headers=$(find src -name '*.h' | wc -l)
echo "clang-tidy: checking $(wc -l <"$all") .cpp files ($(wc -l <"$native") native," \
    "$(wc -l <"$browser") browser, $(wc -l <"$windows") Windows) and the $headers .h files" \
    "under src/ that they include"

status=0
run-clang-tidy -p "$build_dir" -j "$jobs" -quiet "^$PWD/src/.*\.cpp$" >"$log" 2>&1 || status=1
if [ -s "$browser" ]; then
    mapfile -t arguments < <(emscripten_arguments)
    xargs -P "$jobs" -n 1 clang-tidy -p "$wasm_dir" --quiet "${arguments[@]}" <"$browser" \
        >>"$log" 2>&1 || status=1
fi
mapfile -t arguments < <(mingw_arguments)
xargs -P "$jobs" -n 1 clang-tidy -p "$build_dir" --quiet "${arguments[@]}" <"$windows" \
    >>"$log" 2>&1 || status=1
if [ "$status" -ne 0 ]; then
    grep -E 'error:|warning:' "$log" | sort -u >&2
    echo "clang-tidy found faults" >&2
    exit 1
fi
echo "clang-tidy: clean"
