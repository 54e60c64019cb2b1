#include "input/hook_codes.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(HookCodesTest, MouseMessagesBecomeEventCodes) {
  struct Case {
    std::uint32_t message;
    std::int32_t code;
  };
  const Case cases[] = {
      {0x0200, mouse_code::kMove},        // WM_MOUSEMOVE
      {0x0201, mouse_code::kLeftDown},    // WM_LBUTTONDOWN
      {0x0202, mouse_code::kLeftUp},      // WM_LBUTTONUP
      {0x0204, mouse_code::kRightDown},   // WM_RBUTTONDOWN
      {0x0205, mouse_code::kRightUp},     // WM_RBUTTONUP
      {0x0207, mouse_code::kMiddleDown},  // WM_MBUTTONDOWN
      {0x0208, mouse_code::kMiddleUp},    // WM_MBUTTONUP
      {0x020A, mouse_code::kWheel},       // WM_MOUSEWHEEL
      {0x020B, mouse_code::kXDown},       // WM_XBUTTONDOWN
      {0x020C, mouse_code::kXUp},         // WM_XBUTTONUP
      {0x020E, mouse_code::kHWheel},      // WM_MOUSEHWHEEL
      // Double clicks never reach a low-level hook; unknown messages give 0.
      {0x0203, 0},                        // WM_LBUTTONDBLCLK
      {0x0100, 0},                        // WM_KEYDOWN
      {0x0000, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mouseEventFromHook(c.message, 0, 0, 0, 0, 0, 0).code, c.code) << "message 0x" << std::hex << c.message;
  }
}

TEST(HookCodesTest, KeyTransitionAndExtensionFollowTheirFlagsAlone) {
  struct Case {
    std::uint32_t flags;
    std::int32_t transition;
    bool extended;
  };
  const Case cases[] = {
      {0x00, kKeyPress, false},
      {0x80, kKeyRelease, false},  // LLKHF_UP
      {0x01, kKeyPress, true},     // LLKHF_EXTENDED
      {0x10, kKeyPress, false},    // LLKHF_INJECTED
      {0x20, kKeyPress, false},    // LLKHF_ALTDOWN
      {0x91, kKeyRelease, true},   // injected extended key going up
      {0xFFFFFFFE, kKeyRelease, false},
      {0xFFFFFF7F, kKeyPress, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(keyEventFromHook(0x0D, c.flags, 0, 0xFFFFFFF0u, 77), (KeyEvent{c.transition, 0x0D, false, c.extended, 0xFFFFFFF0u, 77}))
        << "flags 0x" << std::hex << c.flags;
  }
}

TEST(HookCodesTest, WheelsCarryTheSignedDeltaAndSideButtonsTheirNumber) {
  struct Case {
    std::uint32_t message;
    std::uint32_t mouseData;
    std::int32_t data;
  };
  const Case cases[] = {
      {0x020A, 0xFF880000u, -120},  // WM_MOUSEWHEEL, one notch toward the user
      {0x020A, 0x00780000u, 120},
      {0x020A, 0x80000000u, -32768},
      {0x020A, 0x0000FFFFu, 0},     // the low word is not the delta
      {0x020E, 0x00F00000u, 240},   // WM_MOUSEHWHEEL
      {0x020E, 0xFFC4ABCDu, -60},
      {0x020B, 0x00010000u, 1},     // WM_XBUTTONDOWN, XBUTTON1
      {0x020C, 0x00020000u, 2},     // WM_XBUTTONUP, XBUTTON2
      {0x0201, 0xFF880000u, 0},     // other events carry nothing
      {0x0200, 0x00010000u, 0},
  };
  for (const Case& c : cases) {
    MouseEvent event = mouseEventFromHook(c.message, -7, 9, c.mouseData, 0, 1234, 5678);
    EXPECT_EQ(event.data, c.data) << "message 0x" << std::hex << c.message << " data 0x" << c.mouseData;
    EXPECT_EQ(event.time, 1234u);
    EXPECT_EQ(event.atUs, 5678);
    EXPECT_EQ(mouse_code::carriesData(event.code), c.data != 0 || c.mouseData == 0x0000FFFFu)
        << "message 0x" << std::hex << c.message;
  }
}

TEST(HookCodesTest, OnlyOurExactMarkerMeansOwnInput) {
  struct Case {
    std::uintptr_t extraInfo;
    bool own;
  };
  const Case cases[] = {
      {kOwnInputMarker, true},
      {0, false},
      {kOwnInputMarker + 1, false},
      {kOwnInputMarker - 1, false},
      {kOwnInputMarker | (std::uintptr_t{1} << 31), false},
      {~std::uintptr_t{0}, false},
      {0x544B5331, false},  // the marker's bytes reversed
  };
  for (const Case& c : cases) {
    EXPECT_EQ(keyEventFromHook(0x0D, 0, c.extraInfo, 0, 0).ownInput, c.own) << "extra info 0x" << std::hex << c.extraInfo;
    EXPECT_EQ(mouseEventFromHook(0x0200, 1, 2, 0, c.extraInfo, 0, 0).ownInput, c.own)
        << "extra info 0x" << std::hex << c.extraInfo;
  }
}

TEST(HookCodesTest, ExtendedKeys) {
  struct Case {
    const char* name;
    std::int32_t vk;
    bool extended;
  };
  const Case cases[] = {
      {"Left", 0x25, true},       {"Up", 0x26, true},          {"Right", 0x27, true},
      {"Down", 0x28, true},       {"Insert", 0x2D, true},      {"Delete", 0x2E, true},
      {"Home", 0x24, true},       {"End", 0x23, true},         {"Page Up", 0x21, true},
      {"Page Down", 0x22, true},  {"right Ctrl", 0xA3, true},  {"right Alt", 0xA5, true},
      {"left Win", 0x5B, true},   {"right Win", 0x5C, true},   {"Apps", 0x5D, true},
      {"NumLock", 0x90, true},    {"Divide", 0x6F, true},      {"Print Screen", 0x2C, true},
      {"Break", 0x03, true},      {"volume mute", 0xAD, true}, {"browser back", 0xA6, true},
      {"launch app 2", 0xB7, true},

      {"A", 0x41, false},         {"0", 0x30, false},          {"Shift", 0x10, false},
      {"left Shift", 0xA0, false}, {"right Shift", 0xA1, false}, {"Ctrl", 0x11, false},
      {"left Ctrl", 0xA2, false}, {"Alt", 0x12, false},        {"left Alt", 0xA4, false},
      {"Enter", 0x0D, false},     {"Space", 0x20, false},      {"Escape", 0x1B, false},
      {"Backspace", 0x08, false}, {"Tab", 0x09, false},        {"CapsLock", 0x14, false},
      {"ScrollLock", 0x91, false}, {"Pause", 0x13, false},     {"F1", 0x70, false},
      {"F12", 0x7B, false},       {"numpad 0", 0x60, false},   {"numpad 4", 0x64, false},
      {"numpad 9", 0x69, false},  {"Multiply", 0x6A, false},   {"Add", 0x6B, false},
      {"Subtract", 0x6D, false},  {"Decimal", 0x6E, false},    {"OEM ;", 0xBA, false},
      {"just past the media keys", 0xB8, false},
      {"none", 0x00, false},      {"out of range", 0x1FF, false}, {"negative", -0x25, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isExtendedKey(c.vk), c.extended) << c.name;
  }
}

}  // namespace
