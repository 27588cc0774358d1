#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Runs Tamarek's benchmarks inside the real Qt Creator, offscreen, and those
# of tamarek-sign beside it, and prints their figures.
#   run-benchmarks.sh QTCREATOR PLUGIN_DIR
set -uo pipefail
export TAMAREK_BENCHMARKS=1
# A hundred packages take longer than QtTest's five minutes a function.
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-3600000}
status=0
for benchmark in ToolRunnerBenchmark SigningBenchmark SignDialogBenchmark; do
    bash "$(dirname "$0")/../run-ide-tests.sh" "$1" "$2" tamarek "$benchmark" || status=$?
done
# tamarek-sign needs no IDE: the build's, with the build's stand-in kit.
build=$(cd "$2/../../.." && pwd)
bash "$(dirname "$0")/bench_signcli.sh" "$build/bin/tamarek-sign" "$build/standin/kit" ||
    status=$?
exit $status
