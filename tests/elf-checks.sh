# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sourced by the tests of what gets installed: judges a library's search path.
#   check_runpath LIBRARY ALLOWED_FOLDER...
# Every RUNPATH and RPATH entry must be one of the allowed folders or below
# one, without a way up. The dynamic loader reads an empty entry as the current folder, so a
# library planted wherever the IDE was started from would load.

check_runpath() {
    local library=$1 dynamic value entry allowed ok result=0
    shift
    dynamic=$(readelf -d "$library") || return 1
    # One line per RUNPATH or RPATH tag, an empty one included.
    while IFS= read -r value; do
        # Split by hand: read -a would drop an empty last field.
        while IFS= read -r entry; do
            if [ -z "$entry" ]; then
                echo "FAIL: an empty search path entry (the current folder) in $library" >&2
                result=1
                continue
            fi
            ok=0
            for allowed in "$@"; do
                case "$entry/" in */../*) ;; "$allowed"/*) ok=1 ;; esac
            done
            if [ $ok = 0 ]; then
                echo "FAIL: search path entry $entry of $library is outside $*" >&2
                result=1
            fi
        done < <(printf '%s\n' "$value" | tr ':' '\n')
    done < <(sed -n 's/.*(R\(UN\)\{0,1\}PATH) *Library r[a-z]*path: \[\(.*\)\]$/\2/p' <<<"$dynamic")
    return $result
}
