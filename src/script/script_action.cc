#include "script/script_action.h"

void ScriptAction::execute(InputInjector& input, Waiter& waiter) const {
  if (kind_ != kMouseKind) {
    input.injectKeyEvent(code_, kind_);
    return;
  }
  input.injectMouseEvent(mouse_code::kAbsolute, 0, 0);
  input.setCursorPos(position_.x, position_.y);
  if (code_ == mouse_code::kMove) return;
  waiter.sleepMs(2);
  input.injectMouseEvent(code_, position_.x, position_.y);
}
