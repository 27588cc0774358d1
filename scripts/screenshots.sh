#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Starts the real Qt Creator with Tamarek under Xvfb and saves pictures of the
# "Sign Packages" dialog's three tabs (a package signed twice, its dump, a
# generated request), of both sign-step widgets and of the options page under
# build/screenshots/. Sets up and builds first, as scripts/test.sh does.
# With TAMAREK_LANGUAGE set (for example ru) the IDE and Tamarek speak that
# language and the pictures go to build/screenshots-LANGUAGE/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/env.sh --setup
scripts/env.sh scripts/build.sh >/dev/null
build=${TAMAREK_BUILD_DIR:-build}
out=$PWD/$build/screenshots${TAMAREK_LANGUAGE:+-$TAMAREK_LANGUAGE}
rm -rf "$out" && mkdir -p "$out"
exec scripts/env.sh bash -c '
set -euo pipefail
build=$1 out=$2 language=${3:-}
work=$(mktemp -d /tmp/tamarek-screenshots.XXXXXX)
display=:$((77 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
wm=
cleanup() {
    if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display
openbox >"$work/openbox.log" 2>&1 &
wm=$!
cp -r "$build/standin/kit" "$work/kit"
export NEVERRAOS_KIT_CONFIG=$work/kit/kit.json TAMAREK_SCREENSHOTS=1 TAMAREK_SCREENSHOT_DIR=$out
language_options=()
if [ -n "$language" ]; then
    # The IDE runs its tests in English unless told the language on its command line.
    mkdir -p "$work/settings/QtProject"
    printf "[%%General]\nOverrideLanguage=%s\n" "$language" >"$work/settings/QtProject/QtCreator.ini"
    language_options=(-language "$language")
fi
status=0
qtcreator -pluginpath "$build/lib/qtcreator/plugins" -settingspath "$work/settings" \
    "${language_options[@]}" -test tamarek,ScreenshotTaker 2>&1 |
    grep -E "saved|SKIP|FAIL|Totals|Loc:" || status=$?
ls "$out"/*.png >/dev/null 2>&1 || { echo "screenshots: no picture saved" >&2; exit 1; }
exit 0
' screenshots "$build" "$out" "${TAMAREK_LANGUAGE:-}"
