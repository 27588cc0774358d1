#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Installs the plug-in into a fresh prefix, checks that it lands in the IDE's
# own layout and searches for libraries only in the IDE's folders, and loads
# the installed copy in the real IDE beside a copy of the stand-in kit's
# plug-in (the IDE skips symbolic links to plug-ins).
#   run-install-test.sh CMAKE BUILD_DIR QTCREATOR PLUGIN_INSTALL_DIR DATA_DIR KIT_PLUGIN
set -euo pipefail
. "$(dirname "$0")/elf-checks.sh"
cmake=$1 build=$2 qtcreator=$3 plugin_dir=$4 data_dir=$5 kit_plugin=$6
fail() { echo "FAIL: $*" >&2; exit 1; }

ide_prefix=$(dirname "$(dirname "$(readlink -f "$qtcreator")")")
[ -f "$ide_prefix/$plugin_dir/libCore.so" ] || fail "no IDE plug-ins in $ide_prefix/$plugin_dir"
[ -d "$ide_prefix/$data_dir/translations" ] || fail "no $ide_prefix/$data_dir/translations"

work=$(mktemp -d /tmp/tamarek-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$cmake" --install "$build" --prefix "$work/prefix" --component Tamarek >/dev/null
# One compiled translation for each translation source of the repository.
expected=$( (echo "$plugin_dir/libTamarek.so"
             echo libexec/qtcreator/tamarek-sign
             for ts in "$(dirname "$0")"/../translations/Tamarek_*.ts; do
                 if [ -e "$ts" ]; then echo "$data_dir/translations/$(basename "${ts%.ts}").qm"; fi
             done) | sort)
installed=$(cd "$work/prefix" && find . ! -type d | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed: $installed; expected: $expected"
check_runpath "$work/prefix/$plugin_dir/libTamarek.so" \
    "$ide_prefix/$plugin_dir" "$(dirname "$ide_prefix/$plugin_dir")" ||
    fail "the installed plug-in searches elsewhere"
# Beside the IDE's own helper programs, finding the IDE's libraries (and the
# kit's Nork among them; here the build's, the kit not being installed).
[ -d "$ide_prefix/libexec/qtcreator" ] || fail "no IDE helpers in $ide_prefix/libexec/qtcreator"
check_runpath "$work/prefix/libexec/qtcreator/tamarek-sign" "$(dirname "$ide_prefix/$plugin_dir")" ||
    fail "the installed tamarek-sign searches elsewhere"
LD_LIBRARY_PATH=$build/lib/qtcreator "$work/prefix/libexec/qtcreator/tamarek-sign" --help |
    grep -q '^Exit status' || fail "the installed tamarek-sign does not run"
echo "PASS: tamarek-sign installed beside the IDE's helpers"

mkdir "$work/kit" && cp "$kit_plugin" "$work/kit/"
bash "$(dirname "$0")/run-ide-tests.sh" "$qtcreator" "$work/prefix/$plugin_dir:$work/kit" \
    tamarek testDependencies
