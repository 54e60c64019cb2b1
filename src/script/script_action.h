#pragma once

#include <cstdint>
#include <optional>

#include "platform/input.h"
#include "platform/waiter.h"

// One script line in numeric form, and the input that reproduces it.
class ScriptAction {
 public:
  static constexpr std::int32_t kMouseKind = 3;
  // A mouse button action places the cursor this long before its button
  // event, so that the event lands where the cursor was just placed.
  static constexpr std::int64_t kPlacementLeadUs = 2000;

  std::int32_t time() const { return time_; }
  void setTime(std::int32_t time) { time_ = time; }
  std::int32_t kind() const { return kind_; }
  void setKind(std::int32_t kind) { kind_ = kind; }
  std::int32_t code() const { return code_; }
  void setCode(std::int32_t code) { code_ = code; }
  MousePoint position() const { return position_; }
  void setPosition(MousePoint position) { position_ = position; }
  // The line's sixth field: a mouse event's data, or a key's extended flag.
  std::optional<std::int32_t> extra() const { return extra_; }
  void setExtra(std::optional<std::int32_t> extra) { extra_ = extra; }

  // How long before its due moment the action begins: the placement lead for
  // a mouse button, 0 for everything else.
  std::int64_t leadUs() const;

  // Injects the action so that it lands at dueUs on the waiter's clock; call
  // it leadUs() before that. A mouse action: an absolute-flag-only event,
  // then the cursor is placed; a move ends there, any other code follows as
  // a mouse event at that point at the due moment, at least the lead after
  // the placement. A key action: one key event. Nothing is checked.
  // Returns when the action went out: the moment it began (a button: the
  // moment its button event began), or, when one of those calls took longer
  // than kSlowCallUs, the moment the last one returned, since a call that
  // slow did work of its own (a first call on the thread) before its event
  // left. Nothing when the waiter was cancelled before the action was
  // complete.
  std::optional<std::int64_t> execute(InputInjector& input, Waiter& waiter, std::int64_t dueUs) const;

  // Well above what an injection takes when its thread is warm, hooks
  // included (under Wine SendInput returns once every hook has seen the
  // event, a few milliseconds on a busy machine), and below the first-call
  // costs seen under Wine (20-87 ms).
  static constexpr std::int64_t kSlowCallUs = 10'000;

 private:
  std::int32_t time_ = 0;
  std::int32_t kind_ = 0;
  std::int32_t code_ = 0;
  MousePoint position_;
  std::optional<std::int32_t> extra_;
};
