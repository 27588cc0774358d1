#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# How the test runners judge a run: fed QtTest output by a stand-in program;
# and how the install tests judge a search path.
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

# How the install tests judge a library's search path, from canned readelf listings.
. "$here/elf-checks.sh"
mkdir "$work/bin"
# expect_runpath NAME WANTED_STATUS READELF_OUTPUT
expect_runpath() {
    local name=$1 wanted=$2 got=0
    printf '#!/bin/sh\nprintf "%%b" "%s"\n' "$3" >"$work/bin/readelf"
    chmod +x "$work/bin/readelf"
    PATH=$work/bin:$PATH check_runpath plugin.so /ide/lib /ide/lib/plugins 2>/dev/null || got=$?
    if [ "$got" != "$wanted" ]; then
        echo "FAIL: $name (search path): status $got, wanted $wanted"
        failures=$((failures + 1))
    else
        echo "PASS: $name (search path)"
    fi
}
needed=' 0x0000000000000001 (NEEDED)             Shared library: [libCore.so]\n'
runpath() { printf ' 0x000000000000001d (RUNPATH)            Library runpath: [%s]\\n' "$1"; }

expect_runpath "none" 0 "$needed"
expect_runpath "the IDE's folders" 0 "$needed$(runpath /ide/lib:/ide/lib/plugins)"
expect_runpath "below the IDE's folders" 0 "$(runpath /ide/lib/plugins/extra)"
expect_runpath "an empty last entry" 1 "$(runpath /ide/lib:/ide/lib/plugins:)"
expect_runpath "an empty first entry" 1 "$(runpath :/ide/lib)"
expect_runpath "only an empty entry" 1 "$(runpath '')"
expect_runpath "a build folder" 1 "$(runpath /ide/lib:/work/build/lib/qtcreator)"
expect_runpath "a way up" 1 "$(runpath /ide/lib/../../work)"
expect_runpath "a name that begins like the IDE's" 1 "$(runpath /ide/library)"
expect_runpath "an old RPATH" 1 \
    ' 0x000000000000000f (RPATH)              Library rpath: [/work/build]\n'

[ $failures = 0 ]
