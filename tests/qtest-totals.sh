# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Sourced by the test runners: judges a QtTest log by its "Totals:" lines.
#   check_totals LOG EXIT_STATUS
# A run counts as passed only with totals, no failure among them and no
# sanitizer's report. Under CI (CI=true) a skipped test fails the run too:
# there, missing set-up must show.

check_totals() {
    local log=$1 status=$2
    if ! grep -q '^Totals: ' "$log"; then
        echo "FAIL: no QtTest totals; the tests did not run to the end" >&2
        return 1
    fi
    if grep -E '^Totals: ' "$log" | grep -vqE ' 0 failed'; then
        echo "FAIL: failed tests above" >&2
        return 1
    fi
    # A tool the test ran reports into the test's output, not its exit status.
    if grep -qE 'SUMMARY: [A-Za-z]+Sanitizer' "$log"; then
        echo "FAIL: a sanitizer reported a fault above" >&2
        return 1
    fi
    if [ "${CI:-}" = true ] && grep -E '^Totals: ' "$log" | grep -vqE ' 0 skipped'; then
        echo "FAIL: tests were skipped (CI=true): their set-up is missing" >&2
        grep '^SKIP ' "$log" >&2
        return 1
    fi
    return "$status"
}
