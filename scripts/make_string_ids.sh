#!/usr/bin/env bash
# Writes FOLDER/string-ids.js: every string id of src/services/modLocalizedIDs.h under the
# header's own name, the one place the page's scripts and index.html's data-text, data-label and
# data-title attributes take their ids from. Run by scripts/build_web.sh.
#   bash scripts/make_string_ids.sh FOLDER
set -euo pipefail
header=$(dirname "$0")/../src/services/modLocalizedIDs.h
entries=$(sed -n -E 's/^inline constexpr int (kStr[A-Za-z0-9]+) = ([0-9]+);.*$/  \1: \2,/p' "$header")
declared=$(grep -c '^inline constexpr' "$header")
if [ -z "$entries" ] || [ "$(wc -l <<<"$entries")" != "$declared" ]; then
    echo "$header: not every id is in the form this script reads" >&2
    exit 1
fi
cat >"$1/string-ids.js" <<END
// Written by scripts/make_string_ids.sh from src/services/modLocalizedIDs.h.
export const ids = Object.freeze({
$entries
});
END
