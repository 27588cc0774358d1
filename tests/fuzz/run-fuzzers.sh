#!/usr/bin/env bash
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
# Builds the fuzz targets with clang into build-fuzz/ and runs each over its
# corpus in tests/fuzz/corpus/, inside the environment of scripts/env.sh
# (scripts/fuzz.sh calls it from outside).
#   run-fuzzers.sh [--smoke] [--runs N] [--minimise] [TARGET...]
# --smoke runs a few thousand inputs per target with a fixed seed (CI);
# --minimise replaces each corpus with a minimal one covering it and what the
# run found. The repository's corpus is read only otherwise.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${TAMAREK_FUZZ_BUILD_DIR:-build-fuzz}
runs=1000000 seed=0 minimise=0 targets=()
while [ $# -gt 0 ]; do
    case $1 in
    --smoke) runs=10000 seed=1 ;;
    --runs) runs=$2; shift ;;
    --minimise) minimise=1 ;;
    -*) echo "usage: $0 [--smoke] [--runs N] [--minimise] [TARGET...]" >&2; exit 2 ;;
    *) targets+=("$1") ;;
    esac
    shift
done
if [ ${#targets[@]} = 0 ]; then
    for source in tests/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

work=$(mktemp -d /tmp/tamarek-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DWITH_TESTS=OFF -DWITH_BENCHMARKS=OFF -DWITH_FUZZERS=ON >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; exit 1; }
fi
cmake --build "$build" --target fuzzers >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log"; exit 1; }

# Without llvm-symbolizer, binutils name the frames.
symbolizer=external_symbolizer_path=$(command -v addr2line)
export ASAN_OPTIONS=$symbolizer UBSAN_OPTIONS=print_stacktrace=1:$symbolizer
failures=0
for target in "${targets[@]}"; do
    corpus=tests/fuzz/corpus/$target
    mkdir -p "$corpus" "$work/$target" "$build/artifacts"
    start=$EPOCHREALTIME
    if "$build/tests/fuzz/$target" -runs="$runs" -seed="$seed" -max_len=4096 -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$work/$target" "$corpus" >"$work/$target.log" 2>&1; then
        awk -v t="$target" -v n="$runs" -v a="$start" -v b="$EPOCHREALTIME" \
            'BEGIN { printf "%s: %d inputs in %.1f s, no finding\n", t, n, b - a }'
    else
        tail -n 60 "$work/$target.log"
        echo "FAIL: $target found a fault; the input is in $build/artifacts/" >&2
        failures=$((failures + 1))
        continue
    fi
    if [ $minimise = 1 ]; then
        mkdir "$work/$target.min"
        "$build/tests/fuzz/$target" -merge=1 "$work/$target.min" "$corpus" "$work/$target" \
            >"$work/$target.merge.log" 2>&1 || { tail -n 20 "$work/$target.merge.log"; exit 1; }
        rm -f "$corpus"/*
        cp "$work/$target.min"/* "$corpus"/
        echo "$target: corpus minimised to $(ls "$corpus" | wc -l) inputs"
    fi
done
[ $failures = 0 ]
