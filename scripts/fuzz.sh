#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset) and runs each for SECONDS on a
# copy of fuzz/corpus kept in the build directory: scripts/fuzz.sh [SECONDS]
# Exits non-zero when a fuzzer finds a crash, a sanitizer report, a leak or a
# hang; the input that did it is left in the build directory's artifacts/.
# TAMSIK_FUZZ_BUILD_DIR overrides the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=${TAMSIK_FUZZ_BUILD_DIR:-build/fuzz}
fuzzers=(fuzz_script_line fuzz_script_box)

cmake --preset fuzz -B "$build"
cmake --build "$build" --parallel 2 --target "${fuzzers[@]}"

mkdir -p "$build/artifacts"
failed=()
for fuzzer in "${fuzzers[@]}"; do
  corpus="$build/corpus/$fuzzer"
  mkdir -p "$corpus"
  cp fuzz/corpus/* "$corpus/"
  echo "== $fuzzer for ${seconds}s (log: $build/$fuzzer.log)" >&2
  if "$build/fuzz/$fuzzer" "$corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
       -print_final_stats=1 -artifact_prefix="$build/artifacts/$fuzzer-" >"$build/$fuzzer.log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$build/$fuzzer.log" >&2 || true
  else
    tail -n 60 "$build/$fuzzer.log" >&2
    failed+=("$fuzzer")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzers that found a fault: ${failed[*]} (inputs in $build/artifacts)" >&2
  exit 1
fi
