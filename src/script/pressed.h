#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/input.h"

// A key or a mouse button that went down and has not come up: a key by its
// virtual-key code, a button by its up flag (a side button with its number).
struct Pressed {
  bool mouse = false;
  std::int32_t code = 0;
  std::int32_t data = 0;
  std::optional<bool> extended;  // a key's, as pressed; not part of its identity

  bool sameAs(const Pressed& other) const { return mouse == other.mouse && code == other.code && data == other.data; }
  // Each button's down flag is the bit below its up flag.
  std::int32_t downFlag() const { return code >> 1; }
};

// The buttons a mouse flag word presses (down) or releases.
inline std::vector<Pressed> buttonsOf(std::int32_t flags, std::int32_t data, bool down) {
  std::vector<Pressed> buttons;
  for (std::int32_t up : {mouse_code::kLeftUp, mouse_code::kRightUp, mouse_code::kMiddleUp, mouse_code::kXUp}) {
    if (flags & (down ? up >> 1 : up)) buttons.push_back({true, up, up == mouse_code::kXUp ? data : 0, {}});
  }
  return buttons;
}

// Keeps `down` in the order things went down. Auto-repeat presses a held key
// again; it still needs one release.
inline void notePressed(std::vector<Pressed>& down, const Pressed& pressed, bool isDown) {
  auto same = [&](const Pressed& other) { return other.sameAs(pressed); };
  if (!isDown) {
    std::erase_if(down, same);
  } else if (std::none_of(down.begin(), down.end(), same)) {
    down.push_back(pressed);
  }
}
