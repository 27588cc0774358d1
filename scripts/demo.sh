#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds, and starts the real Qt Creator 16
# with Tamarek and the stand-in kit on the example project. Without a display
# it prints the loaded plug-ins and Tamarek's metadata, deploys the example
# project (building its RPM packages in the build target), prints the deploy's
# output and exits with 0 when the deploy succeeded.
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
plugins=${TAMAREK_BUILD_DIR:-build}/lib/qtcreator/plugins
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec scripts/env.sh qtcreator -pluginpath "$plugins" "$@" "$PWD/standin/example/example.orvproject"
fi

# A copy under /tmp, which the build target shares, keeps the IDE's per-project
# settings file out of the repository.
work=$(mktemp -d /tmp/tamarek-demo.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r standin/example "$work/example"
status=0
scripts/env.sh env QT_QPA_PLATFORM=offscreen \
    qtcreator -pluginpath "$plugins" -settingspath "$work/settings" \
    -neverraos-print-plugins -neverraos-deploy "$@" "$work/example/example.orvproject" || status=$?
exit $status
