#!/usr/bin/env bash
# The include check finds what it is for: a circle through a header and its source, a
# circle between folders, a lower folder that includes app/, and passes a tree without
# any of them.
set -uo pipefail
check="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

put() { # file, lines...
    local file="$work/$1"
    shift
    mkdir -p "$(dirname "$file")"
    printf '%s\n' "$@" >"$file"
}

expect() { # tree, wanted exit status, text the report must hold
    local out status
    out=$(python3 "$check" --root "$work/$1" 2>&1)
    status=$?
    if [ "$status" -ne "$2" ] || ! grep -qF -- "$3" <<<"$out"; then
        echo "FAIL: $1 gave $status (wanted $2) without \"$3\":"
        echo "$out"
        failures=$((failures + 1))
    else
        echo "ok: $1"
    fi
}

# Clean: app/ on top of text/, which includes nothing of the program.
put clean/app/reader.h '#include "text/store.h"'
put clean/app/reader.cpp '#include "app/reader.h"'
put clean/text/store.h '#include <string>'
put clean/text/store.cpp '#include "text/store.h"'
expect clean 0 "no circle"

# A circle that only shows when a header and its source count as one.
put unit/app/window.h '// no includes'
put unit/app/window.cpp '#include "app/window.h"' '#include "app/commands.h"'
put unit/app/commands.h '// no includes'
put unit/app/commands.cpp '#include "app/commands.h"' '#include "app/window.h"'
expect unit 1 "files include each other in a circle (a header and its source counted as one): app/commands, app/window"

# Folders in a circle through different files.
put folders/text/store.cpp '#include "settings/values.h"'
put folders/settings/values.h '// no includes'
put folders/settings/dialog.cpp '#include "text/names.h"'
put folders/text/names.h '// no includes'
expect folders 1 "folders include each other in a circle: settings, text"

# A room below app/ reaching up.
put upward/app/state.h '// no includes'
put upward/search/dialog.cpp '#include "app/state.h"'
expect upward 1 "search/dialog includes app/state, which is above it"

[ "$failures" -eq 0 ]
