#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/input.h"

// Passes input on and remembers which keys and mouse buttons it has pressed
// and not yet released, so that a run can let go of all of them when it ends.
// A press that the system refused holds nothing.
class HeldInput : public InputInjector {
 public:
  explicit HeldInput(InputInjector& inner) : inner_(inner) {}

  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override;
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
  void setCursorPos(std::int32_t x, std::int32_t y) override { inner_.setCursorPos(x, y); }
  void warmUp() override { inner_.warmUp(); }

  // Releases everything still held, last pressed first: a key as it was
  // pressed, a button by its up flag (a side button with its number).
  void releaseAll();
  // Whether the system refused an event since it was last asked.
  bool takeRefusal() { return std::exchange(refused_, false); }

 private:
  struct Held {
    bool mouse;
    std::int32_t code;  // the virtual-key code, or the button's up flag
    std::int32_t data;  // a side button's number; 0 otherwise
    std::optional<bool> extended;  // a key's, as pressed; not part of its identity
    bool sameAs(const Held& other) const { return mouse == other.mouse && code == other.code && data == other.data; }
  };
  void press(const Held& held);
  void release(const Held& held);

  InputInjector& inner_;
  std::vector<Held> held_;
  bool refused_ = false;
};
