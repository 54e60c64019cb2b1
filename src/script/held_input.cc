#include "script/held_input.h"

#include <algorithm>
#include <utility>

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

std::vector<HeldInput::Held> HeldInput::buttonsPressed(std::int32_t flags, std::int32_t data) {
  std::vector<Held> buttons;
  for (const Button& button : kButtons) {
    if (flags & button.down) buttons.push_back({true, button.up, button.up == mouse_code::kXUp ? data : 0, {}});
  }
  return buttons;
}

std::vector<HeldInput::Held> HeldInput::buttonsReleased(std::int32_t flags, std::int32_t data) {
  std::vector<Held> buttons;
  for (const Button& button : kButtons) {
    if (flags & button.up) buttons.push_back({true, button.up, button.up == mouse_code::kXUp ? data : 0, {}});
  }
  return buttons;
}

void HeldInput::note(const Held& held, bool down) {
  auto same = [&](const Held& other) { return other.sameAs(held); };
  if (!down) {
    std::erase_if(held_, same);
  } else if (std::none_of(held_.begin(), held_.end(), same)) {
    // Auto-repeat presses a held key again; it still needs one release.
    held_.push_back(held);
  }
}

bool HeldInput::injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) {
  const bool taken = inner_.injectKeyEvent(vk, transition, extended);
  const Held key{false, vk, 0, extended};
  bool releaseNow = false;
  {
    std::lock_guard lock(mutex_);
    refused_ = refused_ || !taken;
    if (taken) note(key, transition != kKeyRelease);
    releaseNow = forGood_ && taken && transition != kKeyRelease;
  }
  if (releaseNow) releaseAll();
  return taken;
}

bool HeldInput::injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
  const bool taken = inner_.injectMouseEvent(flags, dx, dy, data);
  bool releaseNow = false;
  {
    std::lock_guard lock(mutex_);
    refused_ = refused_ || !taken;
    if (taken) {
      // A flag word may both press and release a button: the release comes last.
      for (const Held& button : buttonsPressed(flags, data)) note(button, true);
      for (const Held& button : buttonsReleased(flags, data)) note(button, false);
    }
    releaseNow = forGood_ && taken && !buttonsPressed(flags, data).empty();
  }
  if (releaseNow) releaseAll();
  return taken;
}

bool HeldInput::send(const Held& held, bool press) {
  // Each button's down flag is the bit below its up flag.
  if (held.mouse) return inner_.injectMouseEvent(press ? held.code >> 1 : held.code, 0, 0, held.data);
  return inner_.injectKeyEvent(held.code, press ? kKeyPress : kKeyRelease, held.extended);
}

std::vector<HeldInput::Held> HeldInput::releaseEach(std::vector<Held> items) {
  std::vector<Held> refused;
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    if (!send(*item, false)) refused.push_back(*item);
  }
  std::reverse(refused.begin(), refused.end());
  return refused;
}

void HeldInput::releaseAll() {
  std::vector<Held> items;
  {
    std::lock_guard lock(mutex_);
    items.swap(held_);
  }
  std::vector<Held> refused = releaseEach(std::move(items));
  std::lock_guard lock(mutex_);
  // What was pressed meanwhile came after what stays held.
  held_.insert(held_.begin(), refused.begin(), refused.end());
}

void HeldInput::releaseForGood() {
  {
    std::lock_guard lock(mutex_);
    forGood_ = true;
  }
  releaseAll();
}

void HeldInput::letGo() {
  {
    std::lock_guard lock(mutex_);
    for (const Held& held : held_) {
      if (std::none_of(letGo_.begin(), letGo_.end(), [&](const Held& other) { return other.sameAs(held); })) {
        letGo_.push_back(held);
      }
    }
  }
  releaseAll();
}

void HeldInput::takeBack() {
  releaseAll();
  std::vector<Held> items;
  {
    std::lock_guard lock(mutex_);
    items.swap(letGo_);
  }
  for (const Held& item : items) {
    if (send(item, true)) {
      std::lock_guard lock(mutex_);
      note(item, true);
    }
  }
}

bool HeldInput::takeRefusal() {
  std::lock_guard lock(mutex_);
  return std::exchange(refused_, false);
}
