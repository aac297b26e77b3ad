#!/usr/bin/env bash
# The source checks CI runs before the tests: formatting and clang-tidy (the checks listed in
# .clang-tidy) over every source file under src/. Needs a configured build folder with
# compile_commands.json (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}

echo "clang-format: checking"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "clang-tidy: checking src/"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy -p "$build_dir" -j "$(nproc)" -quiet "^$PWD/src/.*\.cpp$" >"$log" 2>&1; then
    grep -E 'error:|warning:' "$log" | sort -u >&2
    echo "clang-tidy found faults" >&2
    exit 1
fi
echo "clang-tidy: clean"
