#include "script/script_action.h"

#include <algorithm>

std::int64_t ScriptAction::leadUs() const {
  return kind_ == kMouseKind && code_ != mouse_code::kMove ? kPlacementLeadUs : 0;
}

bool ScriptAction::execute(InputInjector& input, Waiter& waiter, std::int64_t dueUs) const {
  if (kind_ != kMouseKind) {
    std::optional<bool> extended;
    if (extra_) extended = *extra_ != 0;
    input.injectKeyEvent(code_, kind_, extended);
    return true;
  }
  const std::int64_t placedUs = waiter.nowUs();
  input.injectMouseEvent(mouse_code::kAbsolute, 0, 0, 0);
  input.setCursorPos(position_.x, position_.y);
  if (code_ == mouse_code::kMove) return true;
  // The cursor stands where the event must land: a change of the script
  // that interrupts the wait is for the next action.
  const std::int64_t buttonUs = std::max(dueUs, placedUs + kPlacementLeadUs);
  for (WaitEnd end = waiter.waitUntil(buttonUs); end != WaitEnd::reached; end = waiter.waitUntil(buttonUs)) {
    if (end == WaitEnd::cancelled) return false;
  }
  input.injectMouseEvent(code_, position_.x, position_.y, extra_.value_or(0));
  return true;
}
