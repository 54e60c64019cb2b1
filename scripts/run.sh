#!/usr/bin/env bash
# Builds tamsik.exe and starts it under Wine on $DISPLAY. Without a display it
# starts it on a virtual one, saves a screenshot of the window and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

scripts/install_deps.sh build
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target tamsik
exe="$repo/build/mingw/tamsik.exe"

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tamsik}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ ! -e $WINEPREFIX/system.reg ]]; then
    echo "Preparing the Wine prefix $WINEPREFIX" >&2
    LC_ALL=zh_CN.UTF-8 wineboot -i >/dev/null 2>&1
  fi
  for font in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' '楷体_GB2312'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
  # Caption buttons: Debian installs Marlett where Wine does not look for it.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [[ -f /usr/share/wine/fonts/marlett.ttf && ! -f $fonts/marlett.ttf ]] && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  exec env LC_ALL=zh_CN.UTF-8 wine "$exe"
fi

shot="$repo/build/tamsik-window.png"
tests/wine/with_display.sh bash -c '
  env LC_ALL=zh_CN.UTF-8 wine "$1" &
  timeout 60 xdotool search --sync --limit 1 --name "^Tamsik" >/dev/null
  sleep 2
  import -window root -crop 450x428+50+50 +repage "$2"
  wineserver -k
' run "$exe" "$shot"
echo "No display: Tamsik ran on a virtual display. Screenshot: $shot"
