#pragma once

#include <windows.h>

#include "platform/input.h"

// The keyboard layout of the foreground window's thread.
HKL foregroundLayout();

// Synthetic input through SendInput; every event carries kOwnInputMarker.
class Win32InputInjector : public InputInjector {
 public:
  // What a thread's first key injection and cursor placement do for the
  // first time: make the thread's message queue, and reach the display
  // driver, which sets up the thread's connection to the display.
  void warmUp() override;
  // The scan code comes from the keyboard layout of the foreground window's
  // thread, which is the one that will read the key.
  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override;
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
  void setCursorPos(std::int32_t x, std::int32_t y) override;
};
