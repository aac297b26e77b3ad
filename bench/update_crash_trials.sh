#!/usr/bin/env bash
# Crash trials of Live Update's installation, each followed by the real program's next start
# (GPW, offscreen, ended after a moment) and a byte-for-byte comparison of the program folder
# (names, modes, bytes; Bug.log, autoupdate.dat and Updates/ aside) with the old and the new
# release:
#   - the installer killed before each of its renames;
#   - the hand-over killed before each of its commands (mv, rm), renames slowed by 20 ms or not;
#   - a start racing the hand-over, RACES times;
#   - two starts at once over an interrupted installation, RACES times.
# Prints the counts of old, new and mixed per kind; fails when any is mixed.
# Usage: bench/update_crash_trials.sh [BUILD_DIR] [RACES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
races=${2:-20}
program=$build/src/app/GPW
installer=$build/bench/update_trial_install
work=$(mktemp -d)
trap 'EndPrograms; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen GAPWELL_UPDATE_URL=http://127.0.0.1:9/

# The two releases: the new program is the old one with bytes added at its end.
mkdir "$work/old" "$work/new" "$work/commands"
cp "$program" "$work/old/GPW"
printf 'old read-me\n' >"$work/old/readme.txt"
printf 'old licence\n' >"$work/old/LICENSE"
head -c 4096 /dev/zero >"$work/old/data.bin"
cp "$program" "$work/new/GPW"
printf '\nnew release\n' >>"$work/new/GPW"
printf 'new read-me\n' >"$work/new/readme.txt"
printf 'new licence\n' >"$work/new/LICENSE"
head -c 4096 /dev/urandom >"$work/new/data.bin"
(cd "$work/new" && zip -q -X ../GPW.zip GPW readme.txt LICENSE data.bin)

# Stand-ins for mv and rm in the hand-over's PATH: counted, killing the script before the one
# numbered $KILL_AT, each slowed by 20 ms with $SLOW.
for name in mv rm; do
    cat >"$work/commands/$name" <<'SCRIPT'
#!/bin/sh
n=$(($(cat "$COUNTER") + 1))
echo "$n" >"$COUNTER"
if [ "$n" = "$KILL_AT" ]; then
    kill -9 "$PPID"
    exit 1
fi
[ -z "$SLOW" ] || sleep 0.02
exec "/bin/${0##*/}" "$@"
SCRIPT
    chmod +x "$work/commands/$name"
done
export COUNTER=$work/count KILL_AT=0 SLOW=

app=$work/app
Listing() { (cd "$1" && find . -path ./Updates -prune -o ! -name Bug.log ! -name autoupdate.dat \
    ! -name . -printf '%y %m %p\n' | sort && find . -path ./Updates -prune -o -type f \
    ! -name Bug.log ! -name autoupdate.dat -print0 | sort -z | xargs -0 sha256sum); }
oldListing=$(Listing "$work/old")
newListing=$(Listing "$work/new")

# Ends every program started from the trial folder (the new program the hand-over starts).
EndPrograms() {
    for exe in /proc/[0-9]*/exe; do
        case $(readlink "$exe" 2>/dev/null) in
        "$app"/*) kill -9 "$(basename "$(dirname "$exe")")" 2>/dev/null || true ;;
        esac
    done
}
Fresh() {
    EndPrograms
    rm -rf "$app"
    cp -a "$work/old" "$app"
    printf '\0' >"$app/autoupdate.dat"
    mkdir "$app/Updates"
    cp "$work/GPW.zip" "$app/Updates/"
    echo 0 >"$COUNTER"
}
Start() { (cd "$app" && timeout -s KILL 1.5 ./GPW >/dev/null 2>&1 || true) 2>/dev/null; }
Settle() { sleep 0.3; EndPrograms; }
declare -A counts
Judge() {
    Settle
    Start
    EndPrograms
    local listing release
    listing=$(Listing "$app")
    if [ "$listing" = "$oldListing" ]; then release=old
    elif [ "$listing" = "$newListing" ]; then release=new
    else release=mixed; diff <(echo "$oldListing") <(echo "$listing") >&2 || true; fi
    counts[$1 $release]=$((${counts[$1 $release]:-0} + 1))
}

for kill in $(seq 1 20); do
    Fresh
    if KILL_BEFORE_RENAME=$kill "$installer" "$app"; then
        Judge installer
        break
    fi
    Judge installer
done
for slow in "" 1; do
    for kill in $(seq 1 6); do
        Fresh
        SLOW=$slow KILL_AT=$kill PATH=$work/commands:$PATH "$installer" "$app"
        Judge "hand-over${slow:+ slowed}"
    done
done
for _ in $(seq "$races"); do
    Fresh
    SLOW=1 PATH=$work/commands:$PATH "$installer" "$app"
    Start &
    Judge "start racing the hand-over"
    wait
done
for _ in $(seq "$races"); do
    Fresh
    KILL_BEFORE_RENAME=5 "$installer" "$app" 2>/dev/null || true
    Start & Start & wait
    Judge "two starts at once"
done

status=0
for kind in installer hand-over "hand-over slowed" "start racing the hand-over" "two starts at once"; do
    echo "$kind: old ${counts[$kind old]:-0}, new ${counts[$kind new]:-0}, mixed ${counts[$kind mixed]:-0}"
    [ "${counts[$kind mixed]:-0}" = 0 ] || status=1
done
exit $status
