#!/usr/bin/env bash
# Writes FOLDER/map-colours.css: the map's colours of src/mapwindow/MapPalette.h, the window's
# own, as the page's CSS custom properties for a light and a dark system (kMapShortStroke becomes
# --map-short-stroke). Run by scripts/build_web.sh.
#   bash scripts/make_map_colours.sh FOLDER
set -euo pipefail
header=$(dirname "$0")/../src/mapwindow/MapPalette.h
# Prints "  --map-NAME: #RRGGBB;" for each colour, with the light (\2) or dark (\3) value.
properties() {
    sed -n -E "s/^inline constexpr MapRgb kMap([A-Za-z]+)\{0x([0-9A-Fa-f]{6}), 0x([0-9A-Fa-f]{6})\};$/  --map-\1: #\\$1;/p" "$header" |
        sed -E 's/([a-z])([A-Z])/\1-\2/g; s/.*/\L&/'
}
light=$(properties 2)
declared=$(grep -c '^inline constexpr' "$header")
if [ -z "$light" ] || [ "$(wc -l <<<"$light")" != "$declared" ]; then
    echo "$header: not every colour is in the form this script reads" >&2
    exit 1
fi
cat >"$1/map-colours.css" <<END
/* Written by scripts/make_map_colours.sh from src/mapwindow/MapPalette.h. */
:root {
$light
}

@media (prefers-color-scheme: dark) {
  :root {
$(properties 3 | sed 's/^/  /')
  }
}
END
