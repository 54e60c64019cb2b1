#include "script/held_input.h"

#include <algorithm>
#include <utility>

bool HeldInput::injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) {
  const bool taken = inner_.injectKeyEvent(vk, transition, extended);
  const Held key{false, vk, 0, extended};
  bool releaseNow = false;
  {
    std::lock_guard lock(mutex_);
    refused_ = refused_ || !taken;
    if (taken) notePressed(held_, key, transition != kKeyRelease);
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
      for (const Held& button : buttonsOf(flags, data, true)) notePressed(held_, button, true);
      for (const Held& button : buttonsOf(flags, data, false)) notePressed(held_, button, false);
    }
    releaseNow = forGood_ && taken && !buttonsOf(flags, data, true).empty();
  }
  if (releaseNow) releaseAll();
  return taken;
}

bool HeldInput::send(const Held& held, bool press) {
  if (held.mouse) return inner_.injectMouseEvent(press ? held.downFlag() : held.code, 0, 0, held.data);
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
      notePressed(held_, item, true);
    }
  }
}

bool HeldInput::takeRefusal() {
  std::lock_guard lock(mutex_);
  return std::exchange(refused_, false);
}
