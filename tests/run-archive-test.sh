#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Unpacks the archive for Install Plugin... as the IDE does, checks what it
# holds, that its plug-in searches for libraries nowhere but in the IDE's own
# folders and carries no test code, and loads it in the real IDE beside a copy
# of the stand-in kit's plug-in.
#   run-archive-test.sh CMAKE ARCHIVE BUILD_DIR QTCREATOR KIT_PLUGIN IDE_LIBRARY_DIR \
#                       IDE_PLUGIN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/elf-checks.sh"
cmake=$1 archive=$(readlink -f "$2") build=$(readlink -f "$3") qtcreator=$4 kit_plugin=$5
ide_libraries=$6 ide_plugins=$7
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/tamarek-archive.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/unpacked"
(cd "$work/unpacked" && "$cmake" -E tar xf "$archive")
# The plug-in finds its translations a few folders up from itself.
expected=$( (echo lib/qtcreator/plugins/libTamarek.so
             echo libexec/qtcreator/tamarek-sign
             for ts in "$here"/../translations/Tamarek_*.ts; do
                 if [ -e "$ts" ]; then
                     echo "share/qtcreator/translations/$(basename "${ts%.ts}").qm"
                 fi
             done) | sort)
unpacked=$(cd "$work/unpacked" && find . ! -type d | sed 's|^\./||' | sort)
[ "$unpacked" = "$expected" ] || fail "unpacked: $unpacked; expected: $expected"
plugin=$work/unpacked/lib/qtcreator/plugins/libTamarek.so

check_runpath "$plugin" "$ide_libraries" "$ide_plugins" ||
    fail "the archive's plug-in searches elsewhere"
echo "PASS: search path: $(readelf -d "$plugin" | grep -E '\((RUN|R)PATH\)' || echo none)"
check_runpath "$work/unpacked/libexec/qtcreator/tamarek-sign" "$ide_libraries" ||
    fail "the archive's tamarek-sign searches elsewhere"
! grep -aqF "$build" "$work/unpacked/libexec/qtcreator/tamarek-sign" ||
    fail "the archive's tamarek-sign names the build folder"

# Test objects leave their class names in meta-objects and type information.
test_classes=$(sed -n 's/^class \([A-Za-z0-9_]*\)\( final\)\{0,1\} : public .*/\1/p' \
    "$here"/ide/*.cpp "$here"/ide/*.h "$here"/benchmarks/*.cpp "$here"/screenshots/*.cpp | sort -u)
[ -n "$test_classes" ] || fail "no test classes found under $here"
found=$(grep -aoF "$test_classes" "$plugin" | sort -u | tr '\n' ' ' || true)
[ -z "$found" ] || fail "test code in the archive's plug-in: $found"
echo "PASS: none of $(wc -w <<<"$test_classes") test classes in it"
# Nor the build folder, which the tests' kit and debugging information bring.
! grep -aqF "$build" "$plugin" || fail "the archive's plug-in names the build folder"

mkdir "$work/kit" && cp "$kit_plugin" "$work/kit/"
# Tamarek copies keys into the kit's workspace as it starts: into a copy of
# the kit, not into the build. The user's own plug-in folder stays out of it.
cp -r "$build/standin/kit" "$work/kit-files"
# The sanitizers' runtime must come first in a program built without them.
preload=()
[ -n "${TAMAREK_SANITIZER_RUNTIME:-}" ] && preload=(env "LD_PRELOAD=$TAMAREK_SANITIZER_RUNTIME")
status=0
NEVERRAOS_KIT_CONFIG=$work/kit-files/kit.json XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen \
    timeout 300 "${preload[@]}" "$qtcreator" \
    -pluginpath "$work/unpacked" -pluginpath "$work/kit" -settingspath "$work/settings" \
    -neverraos-print-plugins >"$work/ide.log" 2>&1 || status=$?
cat "$work/ide.log"
[ $status = 0 ] || fail "the IDE exited with $status"
grep -q '^Tamarek, loaded:' "$work/ide.log" || fail "the IDE did not load the archive's plug-in"
! grep -q '^  Error: ' "$work/ide.log" || fail "the plug-in has an error"
echo "PASS: the IDE loads the archive's plug-in"
