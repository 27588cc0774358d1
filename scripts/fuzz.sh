#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sets up the environment if needed, builds the fuzz targets with clang and
# runs each for a million inputs under AddressSanitizer and
# UndefinedBehaviorSanitizer. Arguments go to tests/fuzz/run-fuzzers.sh
# (--smoke, --runs N, --minimise, target names).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/env.sh --setup
exec scripts/env.sh bash tests/fuzz/run-fuzzers.sh "$@"
