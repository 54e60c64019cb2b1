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
  // level than this one, and when its process or token cannot be read:
  // another account's program (one elevated with another administrator's
  // password), or the system's own. False for no window.
  virtual bool isAboveOurs(WindowHandle window) = 0;
};

// The desktop that takes the user's input. While the session is locked, or a
// UAC prompt or Ctrl+Alt+Del has the secure desktop, it is not ours: the
// system refuses every event injected then, and no notification says so.
// Any thread.
class InputDesktop {
 public:
  virtual ~InputDesktop() = default;
  virtual bool isOurs() = 0;
};
