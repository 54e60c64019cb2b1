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
    {mouse_code::kXDown, mouse_code::kXUp},
};

}  // namespace

void HeldInput::press(const Held& held) {
  // Auto-repeat presses a held key again; it still needs one release.
  auto same = [&](const Held& other) { return other.sameAs(held); };
  if (std::none_of(held_.begin(), held_.end(), same)) held_.push_back(held);
}

void HeldInput::release(const Held& held) {
  std::erase_if(held_, [&](const Held& other) { return other.sameAs(held); });
}

bool HeldInput::injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) {
  const bool taken = inner_.injectKeyEvent(vk, transition, extended);
  refused_ = refused_ || !taken;
  Held key{false, vk, 0, extended};
  if (transition == kKeyRelease) {
    release(key);
  } else if (taken) {
    press(key);
  }
  return taken;
}

bool HeldInput::injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
  const bool taken = inner_.injectMouseEvent(flags, dx, dy, data);
  refused_ = refused_ || !taken;
  for (const Button& button : kButtons) {
    Held held{true, button.up, button.up == mouse_code::kXUp ? data : 0, std::nullopt};
    // A flag word may both press and release a button: the release comes last.
    if ((flags & button.down) && taken) press(held);
    if (flags & button.up) release(held);
  }
  return taken;
}

void HeldInput::releaseAll() {
  while (!held_.empty()) {
    Held last = held_.back();
    held_.pop_back();
    if (last.mouse) {
      inner_.injectMouseEvent(last.code, 0, 0, last.data);
    } else {
      inner_.injectKeyEvent(last.code, kKeyRelease, last.extended);
    }
  }
}
