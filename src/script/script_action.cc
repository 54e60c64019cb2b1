#include "script/script_action.h"

#include <algorithm>

std::int64_t ScriptAction::leadUs() const {
  return kind_ == kMouseKind && code_ != mouse_code::kMove ? kPlacementLeadUs : 0;
}

std::optional<std::int64_t> ScriptAction::execute(InputInjector& input, Waiter& waiter, std::int64_t dueUs) const {
  // The calls since beganUs, and whether one of them was slow.
  std::int64_t beganUs = waiter.nowUs();
  bool slow = false;
  auto call = [&](auto&& inject) {
    const std::int64_t callUs = waiter.nowUs();
    inject();
    const std::int64_t returnedUs = waiter.nowUs();
    slow = slow || returnedUs - callUs > kSlowCallUs;
    return slow ? returnedUs : beganUs;
  };
  if (kind_ != kMouseKind) {
    std::optional<bool> extended;
    if (extra_) extended = *extra_ != 0;
    return call([&] { input.injectKeyEvent(code_, kind_, extended); });
  }
  const std::int64_t placedUs = beganUs;
  call([&] { input.injectMouseEvent(mouse_code::kAbsolute, 0, 0, 0); });
  const std::int64_t movedUs = call([&] { input.setCursorPos(position_.x, position_.y); });
  if (code_ == mouse_code::kMove) return movedUs;
  // The cursor stands where the event must land: a change of the script
  // that interrupts the wait is for the next action.
  const std::int64_t buttonUs = std::max(dueUs, placedUs + kPlacementLeadUs);
  for (WaitEnd end = waiter.waitUntil(buttonUs); end != WaitEnd::reached; end = waiter.waitUntil(buttonUs)) {
    if (end == WaitEnd::cancelled) return std::nullopt;
  }
  // A slow placement shows in when the button begins.
  beganUs = waiter.nowUs();
  slow = false;
  return call([&] { input.injectMouseEvent(code_, position_.x, position_.y, extra_.value_or(0)); });
}
