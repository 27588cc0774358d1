#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Runs Tamarek's benchmarks inside the real Qt Creator, offscreen, and prints
# their figures.
#   run-benchmarks.sh QTCREATOR PLUGIN_DIR
set -uo pipefail
export TAMAREK_BENCHMARKS=1
status=0
for benchmark in ToolRunnerBenchmark SigningBenchmark SignDialogBenchmark; do
    bash "$(dirname "$0")/../run-ide-tests.sh" "$1" "$2" tamarek "$benchmark" || status=$?
done
exit $status
