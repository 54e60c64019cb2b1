#pragma once

// What the window list relies on from the window system, checked against
// every realisation. A realisation's test instantiates the suite with a
// factory type that has system(), add(title, visible) for a new top-level
// window, and bringToFront(window).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_system.h"

template <typename Factory>
class WindowSystemContract : public testing::Test {
 protected:
  // The desktop's children as the walk meets them.
  std::vector<WindowHandle> walk() {
    std::vector<WindowHandle> met;
    WindowSystem& windows = factory.system();
    for (WindowHandle w = windows.firstChild(windows.desktopWindow()); w != 0 && met.size() < 100000;
         w = windows.nextWindow(w)) {
      met.push_back(w);
    }
    return met;
  }
  std::wstring readTitle(WindowHandle window, std::int32_t size, std::int32_t& copied) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1, L'#');
    copied = factory.system().readTitle(window, buffer.data(), size);
    return std::wstring(buffer.data(), buffer.size());
  }

  Factory factory;
};

TYPED_TEST_SUITE_P(WindowSystemContract);

// Showing and hiding windows costs Wine seconds without a window manager: one
// set of windows serves every question.
TYPED_TEST_P(WindowSystemContract, WalksTheTopLevelWindowsAndTellsTheirTitlesVisibilityAndWhichIsInFront) {
  const std::wstring title = L"记事本 契约 " + std::to_wstring(::testing::UnitTest::GetInstance()->random_seed());
  const WindowHandle shown = this->factory.add(title, true);
  const WindowHandle hidden = this->factory.add(L"hidden", false);
  const WindowHandle untitled = this->factory.add(L"", true);
  WindowSystem& windows = this->factory.system();

  const std::vector<WindowHandle> met = this->walk();
  for (WindowHandle window : {shown, hidden, untitled}) {
    EXPECT_EQ(std::count(met.begin(), met.end(), window), 1) << "window " << window;
  }
  EXPECT_TRUE(windows.isVisible(shown));
  EXPECT_FALSE(windows.isVisible(hidden));
  EXPECT_FALSE(windows.isCloaked(shown)) << "a window shown on this desktop";
  EXPECT_EQ(windows.titleLength(shown), static_cast<std::int32_t>(title.size()));
  EXPECT_EQ(windows.titleLength(untitled), 0);

  std::int32_t copied = -1;
  EXPECT_EQ(this->readTitle(shown, static_cast<std::int32_t>(title.size()) + 1, copied),
            title + L'\0' + L'#');
  EXPECT_EQ(copied, static_cast<std::int32_t>(title.size()));
  EXPECT_EQ(this->readTitle(shown, 3, copied), title.substr(0, 2) + L'\0' + L'#') << "cut short and ended";
  EXPECT_EQ(copied, 2);

  EXPECT_FALSE(windows.isHung(shown)) << "a window that takes its messages";
  EXPECT_FALSE(windows.isHung(0));

  ASSERT_TRUE(this->factory.bringToFront(untitled));
  EXPECT_EQ(windows.foregroundWindow(), untitled);
  ASSERT_TRUE(this->factory.bringToFront(shown));
  EXPECT_EQ(windows.foregroundWindow(), shown);
}

REGISTER_TYPED_TEST_SUITE_P(WindowSystemContract,
                            WalksTheTopLevelWindowsAndTellsTheirTitlesVisibilityAndWhichIsInFront);
