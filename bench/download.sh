#!/usr/bin/env bash
# Downloads a 64 MiB file from a loopback HTTP server (python3 -m http.server on 127.0.0.1)
# with bench_download (clsDownload, events run after each read, the progress label repainted
# as the update window does it: on a changed text, at most about 60 times a second)
# and with `curl -o`, interleaved, and prints median times, the ratios and peak memory. curl's
# time is its whole process; bench_download's are its DownloadFile calls (Qt start-up aside).
# Usage: bench/download.sh [BUILD_DIR] [REPETITIONS]   (BUILD_DIR built with the windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
repetitions=${2:-7}
bench=$build/bench/bench_download
source bench/serve_folder.sh
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work
chmod 700 "$work"

head -c $((64 << 20)) /dev/urandom >"$work/archive.zip"
serve_folder "$work"
url=${base_url}archive.zip

seconds() {  # runs the command once, prints its wall time in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

: >"$work/curl.s"; : >"$work/live.s"; : >"$work/counting.s"
for _ in $(seq "$repetitions"); do
    seconds curl -s -o "$work/curl.out" "$url" >>"$work/curl.s"
    "$bench" "$url" "$work/gapwell.out" >"$work/times"
    awk '{print $1}' "$work/times" >>"$work/live.s"
    awk '{print $2}' "$work/times" >>"$work/counting.s"
done
cmp -s "$work/archive.zip" "$work/gapwell.out" || { echo "bench_download wrote wrong data" >&2; exit 1; }
cmp -s "$work/archive.zip" "$work/curl.out" || { echo "curl wrote wrong data" >&2; exit 1; }

peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
curl_s=$(median <"$work/curl.s")
live_s=$(median <"$work/live.s")
counting_s=$(median <"$work/counting.s")
curl_kib=$(peak curl -s -o "$work/curl.out" "$url")
gapwell_kib=$(peak "$bench" "$url" "$work/gapwell.out")
mib() { echo "$1 / 1024" | bc -l; }
ratio() { echo "$1 / $curl_s" | bc -l; }
printf 'curl -o                      %.3f s   peak %.1f MiB (whole process)\n' "$curl_s" "$(mib "$curl_kib")"
printf 'DownloadFile, live label     %.3f s   ratio to curl %.2f\n' "$live_s" "$(ratio "$live_s")"
printf 'DownloadFile, counting only  %.3f s   ratio to curl %.2f\n' "$counting_s" "$(ratio "$counting_s")"
printf 'bench_download peak %.1f MiB (Qt, one 64 MiB buffer)\n' "$(mib "$gapwell_kib")"
