#pragma once

#include <cstdint>
#include <vector>

#include "platform/input.h"

// Passes input on and remembers which keys and mouse buttons it has pressed
// and not yet released, so that a run can let go of all of them when it ends.
class HeldInput : public InputInjector {
 public:
  explicit HeldInput(InputInjector& inner) : inner_(inner) {}

  void injectKeyEvent(std::int32_t vk, std::int32_t transition) override;
  void injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy) override;
  void setCursorPos(std::int32_t x, std::int32_t y) override { inner_.setCursorPos(x, y); }

  // Releases everything still held, last pressed first.
  void releaseAll();

 private:
  struct Held {
    bool mouse;
    std::int32_t code;  // the virtual-key code, or the button's up flag
    friend bool operator==(const Held&, const Held&) = default;
  };
  void press(Held held);
  void release(Held held);

  InputInjector& inner_;
  std::vector<Held> held_;
};
