#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Signing 100 packages with tamarek-sign against calling rpmsign-external
# through the kit's tool directly, in turns within one run, on a copy of the
# stand-in kit; prints the figures (goal: at most 10 % slower).
#   bench_signcli.sh TAMAREK_SIGN KIT_DIR [ROUNDS]
set -euo pipefail
program=$(realpath "$1") kit_source=$2 rounds=${3:-3}
count=100
target=NeverraOS-5.0-aarch64

work=$(mktemp -d /tmp/tamarek-bench-signcli.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$kit_source" "$work/kit"
export NEVERRAOS_KIT_CONFIG=$work/kit/kit.json
nork=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["norkPath"])' \
    "$NEVERRAOS_KIT_CONFIG")
keys=$work/kit/workspace/keys
bench=$work/kit/workspace/bench
mkdir -p "$bench"
for i in $(seq 1 $count); do head -c 4096 /dev/urandom >"$bench/app-$i.rpm"; done
packages=("$bench"/*.rpm)
cd "$work/kit/workspace"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
direct() { # KEY CERT
    timeout 600 "$nork" engine exec -tt sb2 -t "$target" rpmsign-external sign -k "$1" -c "$2" \
        "${packages[@]}" </dev/null >/dev/null 2>&1
}
# Without a client signature the signatures are read back for the notes, by
# tamarek-sign as by the IDE's step: the same two runs made directly.
direct_with_notes() { # KEY CERT
    direct "$1" "$2" &&
        timeout 600 "$nork" engine exec -tt sb2 -t "$target" rpmsign-external dump \
            "${packages[@]}" </dev/null >/dev/null 2>&1
}
timed() { # NAME COMMAND...: the milliseconds appended to $work/NAME
    local name=$1 start; shift
    start=$(now_ms)
    "$@" || { echo "FAIL: $name: exit $?" >&2; exit 1; }
    echo $(($(now_ms) - start)) >>"$work/$name"
}
median() { sort -n "$work/$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

with_client=(--key "$keys/developer-key.pem" --cert "$keys/developer-cert.pem"
             --client-key "$keys/client-key.pem" --client-cert "$keys/client-cert.pem")
developer=(--key "$keys/developer-key.pem" --cert "$keys/developer-cert.pem")
direct_pairs() {
    direct "$keys/developer-key.pem" "$keys/developer-cert.pem" &&
        direct "$keys/client-key.pem" "$keys/client-cert.pem"
}
cli() { timeout 600 "$program" sign --target "$target" "$@" "${packages[@]}" </dev/null >/dev/null 2>&1; }
for round in $(seq 1 "$rounds"); do
    timed direct-pairs direct_pairs
    timed cli-pairs cli "${with_client[@]}"
    timed direct-developer direct "$keys/developer-key.pem" "$keys/developer-cert.pem"
    timed direct-developer-notes direct_with_notes "$keys/developer-key.pem" \
        "$keys/developer-cert.pem"
    timed cli-developer cli "${developer[@]}"
done

report() { # WHAT DIRECT CLI
    local direct cli
    direct=$(median "$2") cli=$(median "$3")
    awk -v what="$1" -v d="$direct" -v c="$cli" -v n="$rounds" 'BEGIN {
        printf "RESULT: %s, %d packages, median of %d: direct %d ms, tamarek-sign %d ms, %+.1f %%\n",
               what, '"$count"', n, d, c, (c - d) * 100 / d }'
}
report "developer and client pair" direct-pairs cli-pairs
report "developer pair alone, against sign and dump (the runs its notes need)" \
    direct-developer-notes cli-developer
report "developer pair alone, against sign only (the notes' dump counted as overhead)" \
    direct-developer cli-developer
echo "INFO: goal: at most 10 % slower than the direct calls"
