#include "platform/win32/system.h"

#include <windows.h>
#include <mmsystem.h>

std::uint32_t Win32TickClock::tickMs() { return GetTickCount(); }

namespace {

// The frequency is fixed at boot; read once.
const std::int64_t gCountsPerSecond = [] {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}();

}  // namespace

std::int64_t steadyNowUs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  // Split so that counts of weeks do not overflow.
  return now.QuadPart / gCountsPerSecond * 1'000'000 + now.QuadPart % gCountsPerSecond * 1'000'000 / gCountsPerSecond;
}

std::uint32_t Win32LastInputClock::lastInputTick() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof info;
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

std::optional<MousePoint> Win32CursorPosition::cursorPos() {
  // Fails, leaving (0, 0), while the input desktop is not ours.
  POINT point{};
  if (!GetCursorPos(&point)) return std::nullopt;
  return MousePoint{point.x, point.y};
}

void Win32Sounds::play(const std::vector<std::uint8_t>& wav) {
  // Asynchronous: the hook that asks for a cue must return at once.
  PlaySoundW(reinterpret_cast<LPCWSTR>(wav.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}
