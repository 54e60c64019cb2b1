#include "input/hook_watchdog.h"

namespace {

// How far tick b lies after tick a on the wrapping clock; negative before.
std::int32_t after(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(b - a); }

}  // namespace

HookWatchdog::HookWatchdog(InputHooks& hooks, InputListener& listener, LastInputClock& lastInput, TickClock& clock)
    : hooks_(hooks), listener_(listener), lastInput_(lastInput), clock_(clock), reinstalledAt_(clock.tickMs()) {}

bool HookWatchdog::check() {
  std::uint32_t heard = hooks_.lastEventTick();
  if (heard == 0 || after(heard, reinstalledAt_) > 0) heard = reinstalledAt_;
  if (after(heard, lastInput_.lastInputTick()) <= static_cast<std::int32_t>(kSilenceMs)) return false;
  hooks_.install(listener_);
  reinstalledAt_ = clock_.tickMs();
  return true;
}
