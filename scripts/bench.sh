#!/usr/bin/env bash
# Builds the benchmark programs (mingw preset) and runs them under Wine on a
# virtual display; each prints its own figures:
#   scripts/bench.sh [ROUNDS]   (rounds of the pause benchmark, default 3)
# TAMSIK_BENCH_BUILD_DIR overrides the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAMSIK_BENCH_BUILD_DIR:-build/mingw}

scripts/install_deps.sh build
cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" --parallel 2 --target tamsik_read_bench tamsik_pause_bench

tests/wine/with_display.sh tests/wine/wine_exec.sh "$build/tests/bench/tamsik_read_bench.exe"
echo
tests/wine/with_display.sh tests/wine/wine_exec.sh "$build/tests/bench/tamsik_pause_bench.exe" "$@"
