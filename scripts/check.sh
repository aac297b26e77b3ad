#!/usr/bin/env bash
# The source checks CI runs before the tests: formatting of every source file, and clang-tidy
# (the checks listed in .clang-tidy) over the folders without Qt. Qt's headers make each window
# file take seconds to check, too long for every CI run: `--all` checks every folder.
# Needs a configured build folder with compile_commands.json.
# Usage: scripts/check.sh [--all] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
folders="base|platform|search|alloc|patch|services|update|cli|release"
if [ "${1:-}" = "--all" ]; then
    folders="[a-z]+"
    shift
fi
build_dir=${1:-build}

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "clang-tidy: checking src/($folders)/"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -p "$build_dir" -j "$(nproc)" -quiet "^$PWD/src/($folders)/[^/]+\.cpp$" >"$log" 2>&1; then
    grep -E 'error:|warning:' "$log" | sort -u >&2
    echo "clang-tidy found faults" >&2
    exit 1
fi
echo "clang-tidy: clean"
