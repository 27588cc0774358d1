#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# How the test runners judge a run: fed QtTest output by a stand-in program.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tamarek-runners.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME WANTED_STATUS CI PROGRAM_OUTPUT PROGRAM_STATUS
expect() {
    local name=$1 wanted=$2 ci=$3 output=$4 status=$5 runner got
    printf '#!/bin/sh\nprintf "%%b" "%s"\nexit %s\n' "$output" "$status" >"$work/program"
    chmod +x "$work/program"
    for runner in ide unit; do
        if [ $runner = ide ]; then
            CI=$ci bash "$here/run-ide-tests.sh" "$work/program" "$work" plugin >/dev/null 2>&1
        else
            CI=$ci bash "$here/run-unit-test.sh" "$work/program" >/dev/null 2>&1
        fi
        got=$?
        if { [ "$wanted" = 0 ] && [ $got != 0 ]; } || { [ "$wanted" != 0 ] && [ $got = 0 ]; }; then
            echo "FAIL: $name ($runner runner): exit status $got, wanted ${wanted/1/non-zero}"
            failures=$((failures + 1))
        else
            echo "PASS: $name ($runner runner)"
        fi
    done
}

passed='Totals: 3 passed, 0 failed, 0 skipped, 0 blacklisted, 1ms\n'
skipped='SKIP   : T::a() set-up missing\nTotals: 2 passed, 0 failed, 1 skipped, 0 blacklisted, 1ms\n'
failed='Totals: 2 passed, 1 failed, 0 skipped, 0 blacklisted, 1ms\n'

expect "all passed" 0 "" "$passed" 0
expect "all passed under CI" 0 true "$passed" 0
expect "a skip outside CI" 0 "" "$skipped" 0
expect "a skip under CI" 1 true "$skipped" 0
expect "a failure" 1 "" "$failed" 1
expect "a failure whose program exits 0" 1 "" "$failed" 0
expect "no totals" 1 "" 'crashed\n' 0
expect "totals, then a bad exit" 1 "" "$passed" 3
expect "a sanitizer's report from a tool" 1 "" \
    "  Stderr: SUMMARY: AddressSanitizer: 32 byte(s) leaked in 1 allocation(s).\n$passed" 0

[ $failures = 0 ]
