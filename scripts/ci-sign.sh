#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Signs the packages of a CI job with tamarek-sign, verifies them and writes
# the report: what a GitLab or GitHub job calls (see "Signing in CI" in the
# README).
#   ci-sign.sh PACKAGE_OR_FOLDER...
# From the environment:
#   TAMAREK_TARGET           the build target (required)
#   TAMAREK_KEY, TAMAREK_CERT             the developer pair (required)
#   TAMAREK_CLIENT_KEY, TAMAREK_CLIENT_CERT  the client pair (rpmsign-external)
#   TAMAREK_BINARIES_KEY     the binaries key (customer-sign)
#   TAMAREK_CA               the CA certificate to verify against (required)
#   TAMAREK_PASSPHRASE_FILE  the file of the keys' passphrase, from the CI's
#                            secrets (a GitLab file variable); may be unset for
#                            unencrypted keys
#   TAMAREK_REPORT           where the JSON report goes (default signing-report.json)
#   TAMAREK_SIGN             the program (default: tamarek-sign on PATH, else
#                            the IDE's helper folder)
#   TAMAREK_TIMEOUT          seconds for each tool run (default 600)
# The exit status is tamarek-sign's (see tamarek-sign --help).
set -euo pipefail

die() { printf 'ci-sign: %s\n' "$*" >&2; exit 2; }

for variable in TAMAREK_TARGET TAMAREK_KEY TAMAREK_CERT TAMAREK_CA; do
    [ -n "${!variable:-}" ] || die "$variable is not set"
done
[ $# -gt 0 ] || die "usage: ci-sign.sh PACKAGE_OR_FOLDER..."

program=${TAMAREK_SIGN:-}
if [ -z "$program" ]; then
    program=$(command -v tamarek-sign || true)
    [ -n "$program" ] || program=/usr/libexec/qtcreator/tamarek-sign
fi
[ -x "$program" ] || die "no tamarek-sign at $program: set TAMAREK_SIGN"

packages=()
for argument in "$@"; do
    if [ -d "$argument" ]; then
        for package in "$argument"/*.rpm; do
            [ -e "$package" ] && packages+=("$package")
        done
    else
        packages+=("$argument")
    fi
done
[ ${#packages[@]} -gt 0 ] || die "no packages in $*"

common=(--target "$TAMAREK_TARGET" --timeout "${TAMAREK_TIMEOUT:-600}")
sign=(--key "$TAMAREK_KEY" --cert "$TAMAREK_CERT")
[ -n "${TAMAREK_CLIENT_KEY:-}" ] && sign+=(--client-key "$TAMAREK_CLIENT_KEY")
[ -n "${TAMAREK_CLIENT_CERT:-}" ] && sign+=(--client-cert "$TAMAREK_CLIENT_CERT")
[ -n "${TAMAREK_BINARIES_KEY:-}" ] && sign+=(--binaries-key "$TAMAREK_BINARIES_KEY")

# The secret file as the CI left it may be readable by others, which
# tamarek-sign refuses for a named file: it gets an open descriptor instead,
# and the variable does not reach the tools.
if [ -n "${TAMAREK_PASSPHRASE_FILE:-}" ]; then
    [ -f "$TAMAREK_PASSPHRASE_FILE" ] || die "TAMAREK_PASSPHRASE_FILE names no file"
    exec 3<"$TAMAREK_PASSPHRASE_FILE"
    unset TAMAREK_PASSPHRASE_FILE
    sign+=(--passphrase-fd 3)
fi

# A certificate about to expire fails the job before anything is signed.
"$program" health "${common[@]}" --key "$TAMAREK_KEY" --cert "$TAMAREK_CERT" </dev/null
"$program" sign "${common[@]}" "${sign[@]}" "${packages[@]}" </dev/null
exec 3<&- 2>/dev/null || true
"$program" verify "${common[@]}" --ca "$TAMAREK_CA" --json "${packages[@]}" </dev/null \
    >"${TAMAREK_REPORT:-signing-report.json}"
