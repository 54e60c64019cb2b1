#pragma once

#include <cstdint>

#include "platform/window_system.h"

// What the keyboard did, seen apart from the hooks, whichever window it went
// to. LastInputClock cannot tell the devices apart, and a mouse that moves
// all the time hides the keys in it. Window thread.
class KeyboardActivity {
 public:
  virtual ~KeyboardActivity() = default;
  // When the keyboard last gave input, on the clock of TickClock; 0 before the
  // first key.
  virtual std::uint32_t lastKeyTick() = 0;
};

// The system does not let a process see or drive the windows of a process
// with a higher integrity level (an elevated program, when Tamsik is not
// elevated): input injected into them is dropped and the hooks do not see
// the input aimed at them. Any thread.
class IntegrityLevels {
 public:
  virtual ~IntegrityLevels() = default;
  // True when the process that owns the window runs at a higher integrity
  // level than this one, as far as its level can be read. False for no
  // window, and for a process whose level the system will not show.
  virtual bool isAboveOurs(WindowHandle window) = 0;
};
