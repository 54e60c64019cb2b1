#include "input/hook_watchdog.h"

namespace {

// How far tick b lies after tick a on the wrapping clock; negative before.
std::int32_t after(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(b - a); }

}  // namespace

HookWatchdog::HookWatchdog(InputHooks& hooks, InputListener& listener, const Evidence& evidence, TickClock& clock)
    : hooks_(hooks),
      listener_(listener),
      evidence_(evidence),
      clock_(clock),
      floor_(clock.tickMs()),
      reinstalledAt_(floor_),
      lastLookAt_(floor_),
      lastCursor_(evidence.cursor.cursorPos().value_or(MousePoint{})) {}

bool HookWatchdog::heard(InputDevice device, std::uint32_t tick) {
  const std::uint32_t called = hooks_.lastEventTick(device);
  return called != 0 && after(called, tick) <= static_cast<std::int32_t>(kHookLagMs);
}

void HookWatchdog::installHooks() {
  wanted_ = true;
  hooks_.install(listener_);
  floor_ = clock_.tickMs();
}

void HookWatchdog::removeHooks() {
  wanted_ = false;
  hooks_.remove();
}

bool HookWatchdog::check(const Circumstances& now) {
  if (!wanted_) return false;
  const std::uint32_t tick = clock_.tickMs();
  const std::uint32_t previousLook = lastLookAt_;
  const std::optional<MousePoint> cursor = evidence_.cursor.cursorPos();
  const bool moved = cursor && *cursor != lastCursor_;
  const bool playerPlaced = now.playerPlacesCursor || playerPlacedAtLastLook_;
  const bool hiddenNow = now.inputHiddenFromHooks || !cursor;
  const bool hidden = hiddenNow || hiddenSinceLastLook_;
  lastLookAt_ = tick;
  if (cursor) lastCursor_ = *cursor;
  playerPlacedAtLastLook_ = now.playerPlacesCursor;
  hiddenSinceLastLook_ = hiddenNow;
  if (hidden) {
    floor_ = tick;
    return false;
  }

  const std::uint32_t key = evidence_.keyboard.lastKeyTick();
  const bool keyboardGaveInput = key != 0 && after(floor_, key) > 0;
  const bool keyboardHookLost = keyboardGaveInput && !heard(InputDevice::keyboard, key);

  // A stamp ahead of the clock came with injected input: it happened now.
  std::uint32_t input = evidence_.lastInput.lastInputTick();
  if (after(tick, input) > 0) input = tick;
  const bool inputWasKey = keyboardGaveInput && after(key, input) <= static_cast<std::int32_t>(kSameEventMs);
  const bool mouseGaveInput = moved && !playerPlaced && after(previousLook, input) > 0 &&
                              after(floor_, input) > 0 && !inputWasKey;
  const bool mouseHookLost = mouseGaveInput && !heard(InputDevice::mouse, input);

  if (!keyboardHookLost && !mouseHookLost) return false;
  if (reinstalled_ && after(reinstalledAt_, tick) < static_cast<std::int32_t>(kPatienceMs)) return false;
  reinstall();
  return true;
}

void HookWatchdog::reinstall() {
  if (!wanted_) return;
  hooks_.install(listener_);
  reinstalledAt_ = floor_ = clock_.tickMs();
  reinstalled_ = true;
}
