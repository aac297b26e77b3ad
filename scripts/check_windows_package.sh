#!/usr/bin/env bash
# Makes the Windows zip (scripts/package_windows.sh), runs clang-tidy over the src files only a
# Windows build compiles (scripts/check.sh covers the rest), unpacks the zip into a fresh folder
# and runs the packaged gapwell.exe under wine: --version, and find on the sample ROM by a Windows
# path. Used by CI.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath -m "${1:-build-windows}")
bash scripts/package_windows.sh "$build_dir"
zips=("$build_dir"/gapwell-*-windows-x86_64.zip)
[ ${#zips[@]} -eq 1 ] || { echo "expected one zip, found: ${zips[*]}" >&2; exit 1; }
zip_file=${zips[0]}

mingw_cxx=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include/c++
git ls-files 'src/*Windows*.cpp' 'src/*Win32.cpp' | xargs clang-tidy -p "$build_dir" --quiet \
    --extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-isystem"$mingw_cxx" \
    --extra-arg=-isystem"$mingw_cxx/x86_64-w64-mingw32" 2>/dev/null

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip_file" -d "$unpacked"
[ "$(cd "$unpacked" && ls | sort | tr '\n' ' ')" = "LICENSE README.md gapwell.exe " ] ||
    { echo "unexpected zip contents: $(ls "$unpacked")" >&2; exit 1; }
python3 scripts/make_sample_rom.py "$unpacked/sample.gba"

export WINEPREFIX=$build_dir/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
"$wine" "$unpacked/gapwell.exe" --version
# Wine shows the Linux root as drive Z:, so the ROM is named with a drive letter and backslashes.
"$wine" "$unpacked/gapwell.exe" find "Z:${unpacked//\//\\}\\sample.gba" --needed 512
echo "packaged gapwell.exe ran: $zip_file"
