#include "script/held_input.h"

#include <algorithm>

namespace {

struct Button {
  std::int32_t down;
  std::int32_t up;
};

constexpr Button kButtons[] = {
    {mouse_code::kLeftDown, mouse_code::kLeftUp},
    {mouse_code::kRightDown, mouse_code::kRightUp},
    {mouse_code::kMiddleDown, mouse_code::kMiddleUp},
};

}  // namespace

void HeldInput::press(Held held) {
  // Auto-repeat presses a held key again; it still needs one release.
  if (std::find(held_.begin(), held_.end(), held) == held_.end()) held_.push_back(held);
}

void HeldInput::release(Held held) { std::erase(held_, held); }

void HeldInput::injectKeyEvent(std::int32_t vk, std::int32_t transition) {
  inner_.injectKeyEvent(vk, transition);
  if (transition == kKeyRelease) {
    release({false, vk});
  } else {
    press({false, vk});
  }
}

void HeldInput::injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy) {
  inner_.injectMouseEvent(flags, dx, dy);
  for (const Button& button : kButtons) {
    // A flag word may both press and release a button: the release comes last.
    if (flags & button.down) press({true, button.up});
    if (flags & button.up) release({true, button.up});
  }
}

void HeldInput::releaseAll() {
  while (!held_.empty()) {
    Held last = held_.back();
    held_.pop_back();
    if (last.mouse) {
      inner_.injectMouseEvent(last.code, 0, 0);
    } else {
      inner_.injectKeyEvent(last.code, kKeyRelease);
    }
  }
}
