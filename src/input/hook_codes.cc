#include "input/hook_codes.h"

namespace {

constexpr std::uint32_t kLlkhfExtended = 0x01;
constexpr std::uint32_t kLlkhfUp = 0x80;

constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmMButtonDown = 0x0207;
constexpr std::uint32_t kWmMButtonUp = 0x0208;
constexpr std::uint32_t kWmMouseWheel = 0x020A;
constexpr std::uint32_t kWmXButtonDown = 0x020B;
constexpr std::uint32_t kWmXButtonUp = 0x020C;
constexpr std::uint32_t kWmMouseHWheel = 0x020E;

}  // namespace

KeyEvent keyEventFromHook(std::uint32_t vkCode, std::uint32_t flags, std::uintptr_t extraInfo, std::uint32_t time,
                          std::int64_t atUs) {
  return KeyEvent{(flags & kLlkhfUp) ? kKeyRelease : kKeyPress, static_cast<std::int32_t>(vkCode),
                  extraInfo == kOwnInputMarker, (flags & kLlkhfExtended) != 0, time, atUs};
}

MouseEvent mouseEventFromHook(std::uint32_t message, std::int32_t x, std::int32_t y, std::uint32_t mouseData,
                              std::uintptr_t extraInfo, std::uint32_t time, std::int64_t atUs) {
  std::int32_t code = 0;
  switch (message) {
    case kWmMouseMove: code = mouse_code::kMove; break;
    case kWmLButtonDown: code = mouse_code::kLeftDown; break;
    case kWmLButtonUp: code = mouse_code::kLeftUp; break;
    case kWmRButtonDown: code = mouse_code::kRightDown; break;
    case kWmRButtonUp: code = mouse_code::kRightUp; break;
    case kWmMButtonDown: code = mouse_code::kMiddleDown; break;
    case kWmMButtonUp: code = mouse_code::kMiddleUp; break;
    case kWmXButtonDown: code = mouse_code::kXDown; break;
    case kWmXButtonUp: code = mouse_code::kXUp; break;
    case kWmMouseWheel: code = mouse_code::kWheel; break;
    case kWmMouseHWheel: code = mouse_code::kHWheel; break;
    default: break;
  }
  const auto highWord = static_cast<std::uint16_t>(mouseData >> 16);
  std::int32_t data = 0;
  if (code == mouse_code::kWheel || code == mouse_code::kHWheel) data = static_cast<std::int16_t>(highWord);
  if (code == mouse_code::kXDown || code == mouse_code::kXUp) data = highWord;
  return MouseEvent{code, x, y, extraInfo == kOwnInputMarker, data, time, atUs};
}

bool isExtendedKey(std::int32_t vk) {
  switch (vk) {
    case 0x03:                          // VK_CANCEL (Ctrl+Break)
    case 0x21: case 0x22:               // Page Up, Page Down
    case 0x23: case 0x24:               // End, Home
    case 0x25: case 0x26: case 0x27: case 0x28:  // arrows
    case 0x2C:                          // Print Screen
    case 0x2D: case 0x2E:               // Insert, Delete
    case 0x5B: case 0x5C: case 0x5D:    // left and right Windows keys, Applications
    case 0x6F:                          // numeric-pad Divide
    case 0x90:                          // NumLock
    case 0xA3: case 0xA5:               // right Ctrl, right Alt
      return true;
    default:
      // Browser, volume and media keys.
      return vk >= 0xA6 && vk <= 0xB7;
  }
}
