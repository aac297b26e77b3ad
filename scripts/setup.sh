#!/usr/bin/env bash
# Installs the Debian packages Gapwell needs to build, test and run (fonts-wine brings Tahoma,
# fonts-wqy-microhei the Chinese texts, qt6-translations-l10n Qt's own texts in the user's
# language), and the checkers CI runs (clang for the fuzz targets, clang-format, clang-tidy, and
# the package checkers). Quick when all are there.
# `setup.sh web` installs what the browser build and its tests need.
# `setup.sh windows` installs instead what the Windows cross build needs: MinGW-w64, wine to run
# its tests, GoogleTest's sources and CLI11's headers, and zip and unzip for the release archive.
set -euo pipefail

if [ "${1:-}" = web ]; then
    # The browser build and its tests: emscripten, node and npm (puppeteer-core, pinned in
    # tests/web/package.json), and a headless Chromium to drive the page.
    packages=(cmake ninja-build python3 libcli11-dev emscripten nodejs chromium-headless-shell zip unzip)
    # Some builds of nodejs bring npm themselves and conflict with Debian's npm package.
    command -v npm >/dev/null || packages+=(npm)
elif [ "${1:-}" = windows ]; then
    packages=(
        cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest libcli11-dev zip unzip
    )
else
    packages=(
        cmake ninja-build g++ pkg-config python3
        qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev libzip-dev zipcmp zipmerge ziptool
        libsodium-dev libssl-dev
        libgtest-dev libgmock-dev libcli11-dev
        fonts-wine fonts-dejavu-core fonts-wqy-microhei xvfb xauth time bc curl
        clang clang-format clang-tidy libclang-rt-14-dev
        desktop-file-utils appstream lintian dpkg-dev file
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
