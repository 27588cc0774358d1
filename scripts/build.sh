#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Configures and builds Tamarek with the stand-in kit into build/ (inside the
# environment of scripts/env.sh; call that, or scripts/test.sh, from outside).
# Arguments go to CMake's configuration (-DWITH_SANITIZERS=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TAMAREK_BUILD_DIR:-build}
generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
