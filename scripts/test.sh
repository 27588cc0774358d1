#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds, and runs every test. CTest's
# summary is the last thing printed; the exit status is CTest's.
#   test.sh [--sanitize] [CTEST ARGUMENTS...]
# --sanitize builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs the same tests there.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake_args=()
if [ "${1:-}" = --sanitize ]; then
    shift
    export TAMAREK_BUILD_DIR=${TAMAREK_BUILD_DIR:-build-sanitize}
    cmake_args=(-DWITH_SANITIZERS=ON)
fi
scripts/env.sh --setup
scripts/env.sh scripts/build.sh "${cmake_args[@]}"
exec scripts/env.sh ctest --test-dir "${TAMAREK_BUILD_DIR:-build}" --output-on-failure "$@"
