#pragma once

#include <cstdint>

#include "platform/input.h"
#include "platform/waiter.h"

// One script line in numeric form, and the input that reproduces it.
class ScriptAction {
 public:
  static constexpr std::int32_t kMouseKind = 3;

  std::int32_t time() const { return time_; }
  void setTime(std::int32_t time) { time_ = time; }
  std::int32_t kind() const { return kind_; }
  void setKind(std::int32_t kind) { kind_ = kind; }
  std::int32_t code() const { return code_; }
  void setCode(std::int32_t code) { code_ = code; }
  MousePoint position() const { return position_; }
  void setPosition(MousePoint position) { position_ = position; }

  // A mouse action: an absolute-flag-only event first, then the cursor is
  // placed; a move ends there, any other code follows 2 ms later as a mouse
  // event at that point. A key action: one key event. Nothing is checked.
  void execute(InputInjector& input, Waiter& waiter) const;

 private:
  std::int32_t time_ = 0;
  std::int32_t kind_ = 0;
  std::int32_t code_ = 0;
  MousePoint position_;
};
