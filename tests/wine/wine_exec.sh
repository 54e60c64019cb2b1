#!/usr/bin/env bash
# Runs one Windows program under Wine with a fresh wineserver and exits with
# the program's exit code: tests/wine/wine_exec.sh PROGRAM.exe [ARGS...]
# ctest uses it as the emulator for the cross-built test binaries; it expects
# the display and prefix that tests/wine/with_display.sh sets up.
set -euo pipefail

if (($# == 0)); then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
if [[ -z ${DISPLAY:-} || -z ${WINEPREFIX:-} ]]; then
  echo "wine_exec.sh: DISPLAY and WINEPREFIX are not set." >&2
  echo "Run the tests under tests/wine/with_display.sh, for example:" >&2
  echo "  tests/wine/with_display.sh ctest --test-dir <build dir>" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES-mscoree,mshtml=}"

# Key toggle states (ScrollLock, CapsLock) live in the wineserver: a new
# server makes every program start with them off.
wineserver -k >/dev/null 2>&1 || true

set +e
wine "$@"
status=$?
set -e

wineserver -k >/dev/null 2>&1 || true
exit "$status"
