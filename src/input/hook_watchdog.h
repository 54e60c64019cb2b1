#pragma once

#include <cstdint>

#include "platform/input.h"
#include "platform/system.h"

// Windows removes a low-level hook without a word when it misses the hook
// timeout; hot keys and recording would then be dead until the program
// restarts. The watchdog notices input that reached the system while the
// hooks have been silent for kSilenceMs, and installs the hooks again.
class HookWatchdog {
 public:
  static constexpr std::uint32_t kSilenceMs = 3000;

  HookWatchdog(InputHooks& hooks, InputListener& listener, LastInputClock& lastInput, TickClock& clock);

  // Window thread, about once a second. True when it installed the hooks
  // again.
  bool check();

 private:
  InputHooks& hooks_;
  InputListener& listener_;
  LastInputClock& lastInput_;
  TickClock& clock_;
  // The hooks count as having reported at this tick when they were installed
  // again, so that they get kSilenceMs to show that they work.
  std::uint32_t reinstalledAt_;
};
