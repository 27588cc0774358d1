#!/usr/bin/env bash
# Stands in for the kit's build-target image set-up: makes a Debian root fit to be a build target.
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
#   setup-root.sh ROOT
#
# Has the target's OpenSSL load the GOST engine through its configuration, as a
# real target's does: `openssl req` on a GOST key finds the engine only that way.
# Safe to run again on a root that was already set up.
set -euo pipefail

root=${1:?usage: setup-root.sh ROOT}
cnf=$root/etc/ssl/openssl.cnf
marker='# Tamarek: GOST engine'

fail() { echo "setup-root: $*" >&2; exit 1; }

[ -f "$cnf" ] || fail "no $cnf"
grep -qF "$marker" "$cnf" && exit 0

engine=$(cd "$root" && find usr/lib -path '*/engines-3/gost.so' -print -quit)
[ -n "$engine" ] || fail "no GOST engine (libengine-gost-openssl) in $root"
grep -q '^\[openssl_init\]' "$cnf" || fail "no [openssl_init] section in $cnf"

tmp=$(mktemp "$cnf.XXXXXX")
# No default_algorithms: the engine is only loaded, so plain RSA work keeps the
# default provider while `-engine gost` and GOST keys find it.
awk -v marker="$marker" '
    { print }
    /^\[openssl_init\]/ { print marker; print "engines = tamarek_engines" }
' "$cnf" >"$tmp"
cat >>"$tmp" <<CONF

$marker
[tamarek_engines]
gost = tamarek_gost

[tamarek_gost]
engine_id = gost
dynamic_path = /$engine
CONF
chmod --reference="$cnf" "$tmp"
mv "$tmp" "$cnf"
