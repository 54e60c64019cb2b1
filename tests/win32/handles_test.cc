#include "platform/win32/handles.h"

#include <gtest/gtest.h>

namespace {

// A font selected for a while leaves the window's context as it found it,
// and the window goes with its owner.
TEST(HandlesTest, OwnersGiveBackWhatTheyHold) {
  OwnedWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  {
    const WindowDc dc(window.get());
    ASSERT_TRUE(dc);
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
    const FontHandle font(CreateFontW(20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    {
      const SelectedObject selected(dc.get(), font.get());
      EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
  }
  const HWND made = window.get();
  window.reset();
  EXPECT_FALSE(IsWindow(made));
}

}  // namespace
