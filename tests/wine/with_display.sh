#!/usr/bin/env bash
# Runs a command on a private Xvfb display with a prepared Wine prefix:
#   tests/wine/with_display.sh CMD [ARGS...]
# for example  tests/wine/with_display.sh ctest --test-dir build/mingw
# The command gets DISPLAY, WINEPREFIX, WINEDEBUG (-all unless set),
# LC_ALL=zh_CN.UTF-8 and WINEDLLOVERRIDES. This script exits with the
# command's exit code, and the display and every Wine process of the prefix
# are gone by then. The prefix is ${TAMSIK_WINEPREFIX:-<repo>/build/wineprefix};
# runs that share a prefix wait for each other, since they would share one
# wineserver (and with it the desktop, the hooks and the key states).
set -euo pipefail

if (($# == 0)); then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

repoDir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prefixDir="${TAMSIK_WINEPREFIX:-$repoDir/build/wineprefix}"
mkdir -p "$(dirname "$prefixDir")"
prefixDir="$(cd "$(dirname "$prefixDir")" && pwd)/$(basename "$prefixDir")"

readonly firstDisplay=90
readonly lastDisplay=189

workDir="$(mktemp -d "${TMPDIR:-/tmp}/tamsik-display.XXXXXX")"
xvfbPid=""
wineStarted=""

cleanup() {
  if [[ -n $wineStarted ]]; then
    WINEPREFIX="$prefixDir" wineserver -k >/dev/null 2>&1 9>&- || true
  fi
  if [[ -n $xvfbPid ]]; then
    kill "$xvfbPid" 2>/dev/null || true
    wait "$xvfbPid" 2>/dev/null || true
  fi
  rm -rf "$workDir"
}
trap cleanup EXIT
# The command runs in the background, in a process group of its own, so that a
# signal to this script is acted on at once (not after the command ends) and
# reaches everything the command started.
commandPid=""
onSignal() {
  if [[ -n $commandPid ]]; then
    kill -TERM -- "-$commandPid" 2>/dev/null || true
    wait "$commandPid" 2>/dev/null || true
  fi
  exit "$1"
}
trap 'onSignal 129' HUP
trap 'onSignal 130' INT
trap 'onSignal 143' TERM

# --- the prefix lock -------------------------------------------------------
exec 9>"$prefixDir.lock"
if ! flock -n 9; then
  echo "with_display.sh: waiting for another run that uses $prefixDir" >&2
  flock 9
fi

# --- the display -----------------------------------------------------------
lockPid() {
  local pid=""
  { read -r pid <"/tmp/.X$1-lock"; } 2>/dev/null || true
  echo "${pid// /}"
}

# Xvfb creates /tmp/.X<n>-lock exclusively, so of two runs that race for the
# same number one Xvfb exits at once and its run moves on to the next number.
startXvfb() {
  local n="$1" waited=0
  Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$workDir/xvfb.log" 2>&1 9>&- &
  xvfbPid=$!
  while ((waited < 100)); do
    if ! kill -0 "$xvfbPid" 2>/dev/null; then
      wait "$xvfbPid" 2>/dev/null || true
      xvfbPid=""
      return 1
    fi
    if [[ $(lockPid "$n") == "$xvfbPid" ]] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$xvfbPid" 2>/dev/null || true
  wait "$xvfbPid" 2>/dev/null || true
  xvfbPid=""
  return 1
}

display=""
for ((n = firstDisplay; n <= lastDisplay; n++)); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  if startXvfb "$n"; then
    display=":$n"
    break
  fi
done
if [[ -z $display ]]; then
  echo "with_display.sh: could not start Xvfb on any display :$firstDisplay..:$lastDisplay" >&2
  cat "$workDir/xvfb.log" >&2 2>/dev/null || true
  exit 1
fi

export DISPLAY="$display"
# Xvfb's default keymap puts ScrollLock in no modifier; winex11 then fakes
# VK_SCROLL events after an odd number of ScrollLock presses. -noreset keeps
# this mapping when the last client (wineserver) disconnects.
xmodmap -e "add mod3 = Scroll_Lock"

# --- the Wine prefix ------------------------------------------------------
export WINEPREFIX="$prefixDir"
export WINEDEBUG="${WINEDEBUG:--all}"
# Code page 936 for every Wine process. glibc may lack this locale, so it goes
# into the environment without this shell switching to it (and warning).
withLocale=(env LC_ALL=zh_CN.UTF-8)
export WINEDLLOVERRIDES="mscoree,mshtml="

regSettings() {
  local font
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for font in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft YaHei' 'SimSun' '宋体' \
              '楷体_GB2312' 'KaiTi'; do
    printf '"%s"="WenQuanYi Micro Hei"\r\n' "$font"
  done
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
  printf '"UseTakeFocus"="N"\r\n"Decorated"="N"\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n'
  printf '"Audio"=""\r\n\r\n'
}

preparePrefix() {
  local doneStamp="$WINEPREFIX/.tamsik-prefix-done"
  local unfinished="$WINEPREFIX/.tamsik-prefix-unfinished"
  local want
  regSettings >"$workDir/settings.txt"
  want="$(sha256sum <"$workDir/settings.txt" | cut -d' ' -f1)"
  if [[ -f $doneStamp && $(<"$doneStamp") == "$want" ]]; then
    return 0
  fi

  # Only a prefix this script began and did not finish is thrown away; one
  # made elsewhere is brought up to date in place.
  if [[ -e $unfinished ]]; then
    echo "with_display.sh: redoing the unfinished Wine prefix $WINEPREFIX" >&2
    rm -rf "$WINEPREFIX"
  fi
  if [[ ! -e $WINEPREFIX/system.reg ]]; then
    echo "with_display.sh: creating the Wine prefix $WINEPREFIX (takes a while)" >&2
    mkdir -p "$WINEPREFIX"
    touch "$unfinished"
  fi
  rm -f "$doneStamp"

  wineStarted=1
  "${withLocale[@]}" wineboot -i >"$workDir/wineboot.log" 2>&1 9>&- || {
    cat "$workDir/wineboot.log" >&2
    return 1
  }
  wineserver -w 9>&-

  printf '\xff\xfe' >"$workDir/settings.reg"
  iconv -f UTF-8 -t UTF-16LE <"$workDir/settings.txt" >>"$workDir/settings.reg"
  "${withLocale[@]}" wine regedit /S "$("${withLocale[@]}" winepath -w "$workDir/settings.reg" 9>&-)" 9>&-
  wineserver -w 9>&-

  printf '%s\n' "$want" >"$doneStamp"
  rm -f "$unfinished"
}
preparePrefix

# Wine draws the caption buttons with Marlett, which Debian installs where
# Wine does not look for it; without it they show as "0 1 r".
for font in /usr/share/wine/fonts/marlett.ttf; do
  [[ -f $font && ! -f $WINEPREFIX/drive_c/windows/Fonts/${font##*/} ]] && cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done

# --- the command -------------------------------------------------------------
wineStarted=1
setsid "${withLocale[@]}" "$@" <&0 9>&- &
commandPid=$!
set +e
wait "$commandPid"
status=$?
set -e
commandPid=""
exit "$status"
