#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds, and starts the real Qt Creator 16
# with Tamarek and the stand-in kit. Without a display it prints the loaded
# plug-ins and Tamarek's metadata instead, and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/env.sh --setup
scripts/env.sh scripts/build.sh >/dev/null
plugins=${TAMAREK_BUILD_DIR:-build}/lib/qtcreator/plugins
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec scripts/env.sh qtcreator -pluginpath "$plugins" "$@"
fi
exec scripts/env.sh env QT_QPA_PLATFORM=offscreen \
    qtcreator -pluginpath "$plugins" -settingspath "$(mktemp -d)" -neverraos-print-plugins "$@"
