#!/usr/bin/env bash
# The automatic update check against hostile servers on 127.0.0.1:
#  1. reading a 64 MiB version line of "|" and one of "." (bench_version_line: time; peak
#     memory of the whole process by /usr/bin/time);
#  2. the time to the main window when the update server serves that 64 MiB file, and when it
#     accepts connections but never answers (an unreachable host), with bench_startup.
# Usage: bench/version_check.sh [BUILD_DIR]   (BUILD_DIR built with the windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work
chmod 700 "$work"

mkdir -p "$work/bars" "$work/dots"
head -c $((64 << 20)) /dev/zero | tr '\0' '|' >"$work/bars/GPW.txt"
{ printf 'Gapwell|'; head -c $((64 << 20)) /dev/zero | tr '\0' '.'; printf '|https://h/GPW.zip'; } \
    >"$work/dots/GPW.txt"

peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
for kind in bars dots; do
    result=$("$build/bench/bench_version_line" "$work/$kind/GPW.txt")
    printf 'version line of 64 MiB %-4s  %s  peak %d KiB\n' "$kind" "$result" \
        "$(peak_kib "$build/bench/bench_version_line" "$work/$kind/GPW.txt")"
done

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
python3 -m http.server --bind 127.0.0.1 --directory "$work/bars" "$port" >/dev/null 2>&1 &
pids+=($!)
silent=$(free_port)
python3 -c '
import socket, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(64)
held = []
while True:
    held.append(s.accept()[0])  # accepted, never answered
' "$silent" &
pids+=($!)
for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$port/" && break
    sleep 0.1
done

cd "$work"  # bench_startup's program folder is its own; keep its settings out of the tree
printf '64 MiB version file:   %s  peak %d KiB\n' \
    "$(GAPWELL_UPDATE_URL=http://127.0.0.1:$port/ "$build/bench/bench_startup")" \
    "$(GAPWELL_UPDATE_URL=http://127.0.0.1:$port/ peak_kib "$build/bench/bench_startup")"
printf 'silent update host:    %s\n' \
    "$(GAPWELL_UPDATE_URL=http://127.0.0.1:$silent/ "$build/bench/bench_startup")"
