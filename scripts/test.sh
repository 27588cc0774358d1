#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds, and runs every test. CTest's
# summary is the last thing printed; the exit status is CTest's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/env.sh --setup
scripts/env.sh scripts/build.sh
exec scripts/env.sh ctest --test-dir "${TAMAREK_BUILD_DIR:-build}" --output-on-failure "$@"
