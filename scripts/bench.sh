#!/usr/bin/env bash
# Builds the benchmarks and runs them; each prints its own figures:
#   scripts/bench.sh [ROUNDS]   (rounds of the pause benchmark, default 3)
# The hook path natively (Google Benchmark), then under Wine on a virtual
# display: the hook procedures' cost per event, script reads, pause accuracy, recorded events through the real
# window, opening scripts of 10,000, 100,000 and 300,000 lines beside a bare
# edit control's WM_SETTEXT of the same text (target: at most 1.2 times) and
# saving one, the fidelity of a recorded and replayed human-like input
# sequence, and what tamsik.exe costs while the mouse moves, idle and
# recording, against a bare hook in another process, and whether its memory
# grows while a loop replays mouse moves, beside a loop of keys (minutes per
# phase: TAMSIK_BENCH_MEMORY_MINUTES, default 4).
# TAMSIK_BENCH_BUILD_DIR overrides the Windows build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAMSIK_BENCH_BUILD_DIR:-build/mingw}

scripts/install_deps.sh test
cmake --preset linux >/dev/null
cmake --build --preset linux --target tamsik_hook_bench
build/linux/tests/tamsik_hook_bench
echo

cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build" --parallel 2 --target tamsik_read_bench tamsik_pause_bench tamsik_recorder_bench \
  tamsik_file_bench tamsik_fidelity_bench tamsik_hook_cost_bench tamsik_recording_bench tamsik_memory_bench

for bench in tamsik_hook_cost_bench tamsik_read_bench tamsik_recorder_bench tamsik_file_bench; do
  tests/wine/with_display.sh tests/wine/wine_exec.sh "$build/tests/bench/$bench.exe"
  echo
done
tests/wine/with_display.sh tests/wine/wine_exec.sh "$build/tests/bench/tamsik_pause_bench.exe" "$@"
echo
# Recording and replaying human-like input with the real program.
tests/wine/with_display.sh bash -c 'tests/wine/wine_exec.sh "$1" "$(winepath -w "$2")"' fidelity \
  "$build/tests/bench/tamsik_fidelity_bench.exe" "$build/tamsik.exe"
echo
# The program's CPU time against a bare hook's, idle and recording, with the
# window minimised while recording (as it starts) and shown.
for shown in minimised shown; do
  tests/wine/with_display.sh bash -c 'tests/wine/wine_exec.sh "$1" "$(winepath -w "$2")" 20000 "$3"' recording \
    "$build/tests/bench/tamsik_recording_bench.exe" "$build/tamsik.exe" "$shown"
done
echo
# Resident memory while a loop of moves plays, against a loop of keys.
tests/wine/with_display.sh bash -c 'tests/wine/wine_exec.sh "$1" "$(winepath -w "$2")" "$3"' memory \
  "$build/tests/bench/tamsik_memory_bench.exe" "$build/tamsik.exe" "${TAMSIK_BENCH_MEMORY_MINUTES:-4}"
