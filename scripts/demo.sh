#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds, and starts the real Qt Creator 16
# with Tamarek and the stand-in kit on the example project: the project
# listener puts the sign step behind the RPM build step by itself, Deploy
# builds and signs both packages, Tools > Neverra OS > Sign Packages opens the
# dialog. On a display (DISPLAY) the IDE's window opens there. Without one it
# runs the same road headless: it prints the loaded plug-ins and Tamarek's
# metadata, deploys the example project, prints the deploy's output, signing
# lines included, and exits with 0 when the deploy succeeded. With
# TAMAREK_LANGUAGE set (for example ru), the IDE and Tamarek speak that language.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/env.sh --setup
log=$(mktemp /tmp/tamarek-build.XXXXXX.log)
if ! scripts/env.sh scripts/build.sh >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "demo: the build failed (full log: $log)" >&2
    exit 1
fi
rm -f "$log"
build=${TAMAREK_BUILD_DIR:-build}
plugins=$build/lib/qtcreator/plugins

# Copies under /tmp: the IDE's per-project settings file stays out of the
# repository, and a deploy and the start-up key copy write into the copy of the
# kit's workspace, not into the build. The project lies in that workspace, as a
# user's must: the build target sees nothing but the engine's shared folders.
work=$(mktemp -d /tmp/tamarek-demo.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$build/standin/kit" "$work/kit"
project=$work/kit/workspace/example
cp -r standin/example "$project"
export NEVERRAOS_KIT_CONFIG=$work/kit/kit.json
if [ -n "${TAMAREK_LANGUAGE:-}" ]; then
    # QSettings keeps a group named General apart from its own [General] section.
    mkdir -p "$work/settings/QtProject"
    printf '[%%General]\nOverrideLanguage=%s\n' "$TAMAREK_LANGUAGE" \
        >"$work/settings/QtProject/QtCreator.ini"
fi

if [ -n "${DISPLAY:-}" ]; then
    # The display's socket is under /tmp, which the environment shares; its
    # authority file may not be, so a copy goes along.
    authority=${XAUTHORITY:-$HOME/.Xauthority}
    if [ -r "$authority" ]; then
        cp "$authority" "$work/Xauthority"
        export XAUTHORITY=$work/Xauthority
    fi
    status=0
    scripts/env.sh qtcreator -pluginpath "$plugins" -settingspath "$work/settings" "$@" \
        "$project/example.orvproject" || status=$?
    exit $status
fi
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "demo: a Wayland session without DISPLAY (XWayland): running headless" >&2
fi

status=0
scripts/env.sh env QT_QPA_PLATFORM=offscreen \
    qtcreator -pluginpath "$plugins" -settingspath "$work/settings" \
    -neverraos-print-plugins -neverraos-deploy "$@" "$project/example.orvproject" || status=$?
exit $status
