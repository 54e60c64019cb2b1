// tamsik.exe's notification-area icon, as Wine shows it without a taskbar.

#include <windows.h>

#include <gtest/gtest.h>

#include "support/tamsik_process.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class TrayIconE2eTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tamsik.started());
    window = tamsik.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }));
  }

  TamsikProcess tamsik;
  HWND window = nullptr;
};

TEST_F(TrayIconE2eTest, ClickOnTheIconRestoresTheMinimisedWindow) {
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; }));
  RECT icon;
  GetWindowRect(wineTrayIcons().front(), &icon);
  ASSERT_EQ(xdotool(L"mousemove " + std::to_wstring((icon.left + icon.right) / 2) + L" " +
                    std::to_wstring((icon.top + icon.bottom) / 2) + L" click 1"),
            0);
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(window) == FALSE; }));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(TrayIconE2eTest, TaskbarCreatedKeepsExactlyOneIcon) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(window, taskbarCreated, 0, 0);
  SendMessageW(window, taskbarCreated, 0, 0);
  pumpFor(300ms);
  EXPECT_EQ(wineTrayIconCount(), 1);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(tamsik.waitForExit(10s), 0u);
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; })) << "the icon outlived the program";
}

}  // namespace
