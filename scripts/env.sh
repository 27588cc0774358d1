#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Runs a command in the environment that builds, runs and tests Tamarek:
# Debian 13 with Qt Creator 16, Qt 6.8 and Qt Creator's own headers, plus the
# Debian 12 build-target root of the stand-in kit.
#
#   scripts/env.sh COMMAND [ARGS...]     run COMMAND there, in the current folder
#   scripts/env.sh --setup               only make sure everything is set up
#
# On Debian 12 the Debian 13 root is made once under $TAMAREK_CACHE
# (default /var/cache/tamarek) and reused; its mounts are set up on every call.
# On Debian 13 the packages are installed on the machine itself.
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${TAMAREK_CACHE:-/var/cache/tamarek}
IDE_ROOT=$CACHE/trixie
STAMP_VERSION=3

IDE_PACKAGES="qtcreator qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
 cmake g++ make ninja-build openssl xz-utils debootstrap python3 clang libclang-rt-dev \
 xvfb xauth imagemagick fonts-dejavu-core xdotool libxcb-cursor0 openbox qt6-translations-l10n"
TARGET_PACKAGES="openssl,libengine-gost-openssl,rpm,cpio"

say() { printf '[env] %s\n' "$*" >&2; }
die() { printf '[env] error: %s\n' "$*" >&2; exit 1; }
step() {
    local what=$1; shift
    say "$what"
    local log
    log=$(mktemp /tmp/tamarek-env.XXXXXX.log)
    if ! "$@" >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        die "$what failed (full log: $log)"
    fi
    rm -f "$log"
}

[ "$(id -u)" = 0 ] || die "must run as root (debootstrap, chroot and mounts need it)"

codename() { . "$1/etc/os-release" 2>/dev/null && echo "${VERSION_CODENAME:-}"; }

if [ "$(codename /)" = trixie ]; then
    NATIVE=1
    SYSROOT=
else
    NATIVE=0
    SYSROOT=$IDE_ROOT
fi
TARGET_ROOT=$SYSROOT/opt/tamarek/targets/bookworm
SRC_DIR=$SYSROOT/opt/tamarek/qtcreator-src

# Commands run inside the IDE environment (chroot on Debian 12).
in_ide() {
    if [ $NATIVE = 1 ]; then "$@"; else chroot "$IDE_ROOT" "$@"; fi
}

host_apt() {
    if ! command -v debootstrap >/dev/null; then
        step "installing debootstrap on the host" \
            bash -c 'apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -yq debootstrap'
    fi
}

make_ide_root() {
    [ -f "$IDE_ROOT/.tamarek-root-$STAMP_VERSION" ] && return 0
    say "first set-up: a Debian 13 root with Qt Creator 16 in $IDE_ROOT (about 4 minutes, 2 GB)"
    host_apt
    if [ ! -f "$IDE_ROOT/.tamarek-debootstrapped" ]; then
        unmount_all
        rm -rf --one-file-system "$IDE_ROOT"
        mkdir -p "$IDE_ROOT"
        step "debootstrap trixie (about 2 minutes)" \
            debootstrap --variant=minbase --include=ca-certificates trixie "$IDE_ROOT"
        touch "$IDE_ROOT/.tamarek-debootstrapped"
    fi
    grep -q deb-src "$IDE_ROOT/etc/apt/sources.list" 2>/dev/null ||
        sed -n 's/^deb /deb-src /p' "$IDE_ROOT/etc/apt/sources.list" >>"$IDE_ROOT/etc/apt/sources.list"
    cp /etc/resolv.conf "$IDE_ROOT/etc/resolv.conf"
    mount_ide
    step "installing Qt Creator 16, Qt 6.8 and the tool chain (about 1 minute)" \
        chroot "$IDE_ROOT" bash -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
            apt-get install -yq --no-install-recommends $IDE_PACKAGES"
    touch "$IDE_ROOT/.tamarek-root-$STAMP_VERSION"
}

# Also brings packages added to the list after a root was made, without
# making the root anew.
install_missing() {
    local wanted=$IDE_PACKAGES installed missing= p
    [ $NATIVE = 1 ] && wanted="$wanted dpkg-dev"
    # dpkg-query fails when any of them is unknown; the others are listed all the same.
    installed=$( (in_ide dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' $wanted 2>/dev/null ||
        true) | awk '$2 == "ii" { print $1 }')
    for p in $wanted; do
        grep -qxF "$p" <<<"$installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    step "installing$missing" in_ide bash -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
        apt-get install -yq --no-install-recommends $missing"
}

# Debian ships no headers for Qt Creator: take them from its source package,
# matching the installed version.
fetch_headers() {
    [ -f "$SRC_DIR/.complete" ] && return 0
    local version
    version=$(in_ide dpkg-query -W -f='${Version}' qtcreator)
    version=${version#*:}
    version=${version%-*}
    say "fetching Qt Creator $version sources for its headers (53 MB)"
    if [ $NATIVE = 1 ] && ! grep -rqs '^deb-src\|^Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
        die "no deb-src entries in /etc/apt/sources.list: add them for the headers of Qt Creator"
    fi
    in_ide bash -c "mkdir -p /opt/tamarek/download && cd /opt/tamarek/download && \
        (apt-get source --download-only qtcreator >/dev/null 2>&1 || true)"
    local tarball=$SYSROOT/opt/tamarek/download/qtcreator_$version.orig.tar.xz
    [ -f "$tarball" ] || die "apt-get source did not bring $tarball"
    rm -rf "$SRC_DIR" && mkdir -p "$SRC_DIR"
    step "extracting the headers" tar -C "$SRC_DIR" --strip-components=1 -xJf "$tarball" \
        --wildcards '*/src/libs/*' '*/src/plugins/coreplugin/*' '*/src/plugins/projectexplorer/*' \
        '*/cmake/*'
    echo "$version" >"$SRC_DIR/.complete"
}

make_target_root() {
    if [ ! -f "$TARGET_ROOT/.tamarek-target-$STAMP_VERSION" ]; then
        say "first set-up: the build-target root, Debian 12 with OpenSSL and GOST (about 2 minutes)"
        host_apt
        umount_tree "$TARGET_ROOT"
        rm -rf --one-file-system "$TARGET_ROOT"
        mkdir -p "$TARGET_ROOT"
        step "debootstrap bookworm" debootstrap --variant=minbase --include="$TARGET_PACKAGES" \
            bookworm "$TARGET_ROOT"
        touch "$TARGET_ROOT/.tamarek-target-$STAMP_VERSION"
    fi
    # Idempotent and quick, so roots made before it existed get it too.
    bash "$REPO/standin/targets/setup-root.sh" "$TARGET_ROOT" || die "setting up $TARGET_ROOT failed"
}

is_mounted() { mountpoint -q "$1"; }
bind() { # SOURCE DEST
    mkdir -p "$2"
    # Already visible there (a repository under /tmp): a second mount would
    # only keep the folder busy after the repository is gone.
    [ "$1" -ef "$2" ] && return 0
    # A mount left by an earlier clone at the same path shows the deleted
    # folder, not this one.
    is_mounted "$2" && umount -l "$2"
    mount --bind "$1" "$2"
}

mount_ide() {
    [ $NATIVE = 1 ] && return 0
    is_mounted "$IDE_ROOT/proc" || mount -t proc proc "$IDE_ROOT/proc"
    bind /dev "$IDE_ROOT/dev"
    bind /dev/pts "$IDE_ROOT/dev/pts"
    bind /tmp "$IDE_ROOT/tmp"
    bind "$REPO" "$IDE_ROOT$REPO"
    cp /etc/resolv.conf "$IDE_ROOT/etc/resolv.conf"
}

# The target sees /tmp and the repository at their own paths, so the stand-in
# engine's shared folders (kept under either) are the same inside and outside.
mount_target() {
    [ -d "$TARGET_ROOT" ] || return 0
    is_mounted "$TARGET_ROOT/proc" || mount -t proc proc "$TARGET_ROOT/proc"
    bind /dev "$TARGET_ROOT/dev"
    bind /dev/pts "$TARGET_ROOT/dev/pts"
    bind /tmp "$TARGET_ROOT/tmp"
    bind "$REPO" "$TARGET_ROOT$REPO"
}

umount_tree() {
    [ -d "$1" ] || return 0
    awk -v r="$1" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/mounts | sort -r |
        while read -r m; do umount -l "$m" || true; done
}
unmount_all() { umount_tree "$IDE_ROOT"; }

# Qt Creator takes its own translation only together with Qt's: without
# qt_<language>.qm a Russian IDE stays English around a Russian plug-in.
check_translations() {
    local qm
    for qm in qt_ru.qm qtbase_ru.qm; do
        [ -f "$SYSROOT/usr/share/qt6/translations/$qm" ] ||
            die "Qt's Russian translation $qm is missing (qt6-translations-l10n)"
    done
    [ -f "$SYSROOT/usr/share/qtcreator/translations/qtcreator_ru.qm" ] ||
        die "Qt Creator's Russian translation qtcreator_ru.qm is missing"
}

main() {
    mkdir -p "$CACHE"
    exec 9>"$CACHE/.lock"
    flock 9
    if [ $NATIVE = 0 ]; then
        make_ide_root
        mount_ide
    fi
    install_missing
    check_translations
    fetch_headers
    make_target_root
    mount_target
    flock -u 9
}

main
[ "${1:-}" = --setup ] && exit 0
[ $# -gt 0 ] || die "usage: scripts/env.sh COMMAND [ARGS...] | --setup"

export TAMAREK_IDE_SYSROOT=$SYSROOT TAMAREK_TARGET_ROOT=${TARGET_ROOT#"$SYSROOT"}
export TAMAREK_QTC_SOURCE=${SRC_DIR#"$SYSROOT"}
# The build's programs (tamarek-sign) by name, with the build's stand-in kit.
build_dir=${TAMAREK_BUILD_DIR:-build}
case $build_dir in /*) ;; *) build_dir=$REPO/$build_dir ;; esac
export PATH="$build_dir/bin:$PATH"
if [ $NATIVE = 1 ]; then
    exec "$@"
fi
exec chroot "$IDE_ROOT" /usr/bin/env -C "$PWD" "$@"
