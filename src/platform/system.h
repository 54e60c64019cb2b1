#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/input.h"

// Small system services, abstract so that they can be mocked out for tests.
// All of them may be called from any thread.

class TickClock {
 public:
  virtual ~TickClock() = default;
  // Milliseconds from a fixed origin, the system's tick (10-16 ms steps on
  // Windows); wraps round after 2^32.
  virtual std::uint32_t tickMs() = 0;
};

// A steady clock with sub-millisecond steps that no change of the system
// time moves: the performance counter on Windows. The hooks stamp events on
// it as they arrive.
class SteadyClock {
 public:
  virtual ~SteadyClock() = default;
  virtual std::int64_t nowUs() = 0;
};

// When the system last took input from the keyboard or the mouse, whoever it
// went to; on the clock of TickClock. It may lie ahead of the clock: a program
// that injects input may stamp it with a time of its own.
class LastInputClock {
 public:
  virtual ~LastInputClock() = default;
  virtual std::uint32_t lastInputTick() = 0;
};

class CursorPosition {
 public:
  virtual ~CursorPosition() = default;
  // Nothing while the system will not say, as while the secure desktop (a UAC
  // prompt, Ctrl+Alt+Del) takes the input.
  virtual std::optional<MousePoint> cursorPos() = 0;
};

class Sounds {
 public:
  virtual ~Sounds() = default;
  // Starts playing a complete WAV file image and returns at once; the image
  // must outlive the sound. Without a sound device nothing is heard.
  virtual void play(const std::vector<std::uint8_t>& wav) = 0;
};
