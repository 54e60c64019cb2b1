#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test:
# the native logic suites, then the Windows build under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_deps.sh test

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset mingw
cmake --build --preset mingw
tests/wine/with_display.sh ctest --preset mingw
