#!/usr/bin/env bash
# Peak memory of one Live Update (check, download, signature check, installation) with a signed
# archive of MIB MiB (default 128) served by a loopback HTTP server in its own process
# (python3 -m http.server on 127.0.0.1), measured by bench_archive_memory and /usr/bin/time -v.
# Usage: bench/archive_memory.sh [BUILD_DIR] [MIB]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mebibytes=${2:-128}
bench=$build/bench/bench_archive_memory
source bench/serve_folder.sh
mkdir "$work/served" "$work/program"

serve_folder "$work/served"
"$bench" prepare "$work/served" "$mebibytes" "$base_url"
/usr/bin/time -v "$bench" run "$base_url" "$(cat "$work/served/key.txt")" "$work/program" \
    2>"$work/time.txt"
grep "Maximum resident set size" "$work/time.txt"
