#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine (as root), runs both programs from it,
# validates the desktop entry and the AppStream metadata, then purges the package and fails when
# any of its files is left behind. Used by CI.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/package.sh build
app_id=$(sed -n 's/^GAPWELL_APP_ID:STRING=//p' build/CMakeCache.txt)
debs=(build/gapwell_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, found: ${debs[*]}" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./${debs[0]}" >/dev/null

gapwell --version
python3 scripts/make_sample_rom.py build/sample.gba
gapwell find build/sample.gba --needed 512
QT_QPA_PLATFORM=offscreen GPW --version
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"

files=$(mktemp)
trap 'rm -f "$files"' EXIT
dpkg -L gapwell >"$files"
apt-get remove -y -qq --purge gapwell >/dev/null
left=()
while IFS= read -r path; do
    # A folder that another package owns, or that holds other files, stays (/usr/bin); the
    # package's own files and folders must go.
    if [ -f "$path" ] || [ -L "$path" ] ||
        { [ -d "$path" ] && [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; }; then
        left+=("$path")
    fi
done <"$files"
if [ ${#left[@]} -gt 0 ]; then
    echo "left behind after purge: ${left[*]}" >&2
    exit 1
fi
echo "package installed, ran, validated and purged without leftovers"
