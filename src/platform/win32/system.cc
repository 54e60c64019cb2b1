#include "platform/win32/system.h"

#include <windows.h>
#include <mmsystem.h>

std::uint32_t Win32TickClock::tickMs() { return GetTickCount(); }

std::uint32_t Win32LastInputClock::lastInputTick() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof info;
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

MousePoint Win32CursorPosition::cursorPos() {
  POINT point{};
  GetCursorPos(&point);
  return {point.x, point.y};
}

void Win32Sounds::play(const std::vector<std::uint8_t>& wav) {
  // Asynchronous: the hook that asks for a cue must return at once.
  PlaySoundW(reinterpret_cast<LPCWSTR>(wav.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}
