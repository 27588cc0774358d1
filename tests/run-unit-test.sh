#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Runs a plain QtTest executable and judges it as the IDE tests are judged.
#   run-unit-test.sh PROGRAM [ARGUMENTS...]
set -uo pipefail
. "$(dirname "$0")/qtest-totals.sh"

log=$(mktemp /tmp/tamarek-unit-test.XXXXXX.log)
"$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
check_totals "$log" "$status"
result=$?
rm -f "$log"
exit $result
