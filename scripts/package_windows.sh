#!/usr/bin/env bash
# Builds gapwell.exe (scripts/build_windows.sh, with its tests under wine) into build-windows/ (or
# the folder given as $1) and makes gapwell-<version>-windows-x86_64.zip there: gapwell.exe,
# README.md and LICENSE. Fails when gapwell.exe would need a DLL that Windows does not ship.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath -m "${1:-build-windows}")
bash scripts/build_windows.sh "$build_dir"

exe=$build_dir/src/cli/gapwell.exe
# Statically linked: only DLLs of Windows itself (KERNEL32, msvcrt, ...) may be imported.
foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
    grep -viE '^(kernel32|msvcrt|user32|advapi32|shell32|ws2_32|api-ms-win-.*)\.dll$' || true)
if [ -n "$foreign" ]; then
    echo "gapwell.exe needs DLLs that would have to travel with it: $foreign" >&2
    exit 1
fi

version_part() { sed -n "s/^GAPWELL_VERSION_$1:STRING=//p" "$build_dir/CMakeCache.txt"; }
version=$(version_part MAJOR).$(version_part MINOR).$(version_part REVISION)
staging=$build_dir/package
rm -rf "$staging"
mkdir -p "$staging"
x86_64-w64-mingw32-strip -o "$staging/gapwell.exe" "$exe"
cp README.md LICENSE "$staging/"
zip_file=$build_dir/gapwell-$version-windows-x86_64.zip
rm -f "$zip_file"
(cd "$staging" && zip -q "$zip_file" gapwell.exe README.md LICENSE)
echo "$zip_file"
