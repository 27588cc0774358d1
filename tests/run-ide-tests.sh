#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Runs a plug-in's tests inside the real Qt Creator, offscreen.
#   run-ide-tests.sh QTCREATOR PLUGIN_DIR[:PLUGIN_DIR...] PLUGIN_ID [TESTFUNCTION]
# The IDE's -test skips its run and exits 0 when a plug-in fails to load, so a
# run counts as passed only with QtTest's totals and no failure among them
# (nor, under CI, a skipped test).
set -uo pipefail
. "$(dirname "$0")/qtest-totals.sh"

qtcreator=$1 plugins=$2 plugin=$3 only=${4:-}
log=$(mktemp /tmp/tamarek-ide-tests.XXXXXX.log)
export QT_QPA_PLATFORM=offscreen
pluginpaths=()
IFS=: read -ra dirs <<<"$plugins"
for dir in "${dirs[@]}"; do pluginpaths+=(-pluginpath "$dir"); done
# The sanitizers' runtime must come first in a program built without them.
preload=()
[ -n "${TAMAREK_SANITIZER_RUNTIME:-}" ] && preload=(env "LD_PRELOAD=$TAMAREK_SANITIZER_RUNTIME")
settings=()
if [ -n "${TAMAREK_IDE_LANGUAGE:-}" ]; then
    settingsdir=$(mktemp -d /tmp/tamarek-ide-settings.XXXXXX)
    mkdir -p "$settingsdir/QtProject"
    # QSettings keeps a group named General apart from its own [General] section.
    printf '[%%General]\nOverrideLanguage=%s\n' "$TAMAREK_IDE_LANGUAGE" \
        >"$settingsdir/QtProject/QtCreator.ini"
    settings=(-settingspath "$settingsdir")
fi
"${preload[@]}" "$qtcreator" "${pluginpaths[@]}" "${settings[@]}" -test "$plugin${only:+,$only}" \
    2>&1 | tee "$log"
status=${PIPESTATUS[0]}

result=0
if grep -q "Errors occurred while loading plugins" "$log"; then
    echo "FAIL: a plug-in did not load; no test ran" >&2
    result=1
else
    check_totals "$log" "$status"
    result=$?
fi
rm -f "$log"
[ -n "${settingsdir:-}" ] && rm -rf "$settingsdir"
exit $result
