#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Fails when a text of the plug-in has no finished translation: lupdate is
# run over the sources into a copy of each translation file, which must then
# hold no unfinished, new or vanished message.
#   check-translations.sh LUPDATE SOURCE_DIR
set -uo pipefail
lupdate=$1 source=$2
work=$(mktemp -d /tmp/tamarek-translations.XXXXXX)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$source"/translations/Tamarek_*.ts; do
    copy=$work/${ts##*/}
    cp "$ts" "$copy"
    # English needs only its plural forms; the source texts are the rest.
    only=()
    [ "${ts##*/}" = Tamarek_en.ts ] && only=(-pluralonly)
    "$lupdate" -silent -locations none "${only[@]}" "$source/src" -ts "$copy" ||
        { status=1; continue; }
    problems=$(grep -c 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy")
    if [ "$problems" != 0 ]; then
        echo "FAIL: ${ts##*/}: $problems message(s) without a finished translation:" >&2
        grep -B3 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy" |
            grep '<source>' | sed 's/^ */  /' >&2
        status=1
    else
        echo "PASS: ${ts##*/}: $(grep -c '<message' "$copy") messages, all translated"
    fi
done
exit $status
