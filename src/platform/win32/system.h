#pragma once

#include "platform/system.h"

class Win32TickClock : public TickClock {
 public:
  std::uint32_t tickMs() override;
};

// Microseconds on the performance counter. Cheap enough for a hook
// procedure: no call but QueryPerformanceCounter.
std::int64_t steadyNowUs();

class Win32SteadyClock : public SteadyClock {
 public:
  std::int64_t nowUs() override { return steadyNowUs(); }
};

class Win32LastInputClock : public LastInputClock {
 public:
  std::uint32_t lastInputTick() override;
};

class Win32CursorPosition : public CursorPosition {
 public:
  std::optional<MousePoint> cursorPos() override;
};

class Win32Sounds : public Sounds {
 public:
  void play(const std::vector<std::uint8_t>& wav) override;
};
