#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test:
# the native logic suites, again under ASan and UBSan, the fuzzers, the
# Windows build under Wine on a virtual display, then the release archive
# (built twice, to compare the bytes).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh test

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset linux-sanitize
cmake --build --preset linux-sanitize
ctest --preset linux-sanitize
scripts/fuzz.sh 30

cmake --preset mingw
cmake --build --preset mingw
tests/wine/with_display.sh ctest --preset mingw

tests/package/check_package.sh
