// tamsik.exe's notification-area icon, as Wine shows it without a taskbar.

#include <windows.h>

#include <gtest/gtest.h>

#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class TrayIconE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }));
  }
};

TEST_F(TrayIconE2eTest, ClickOnTheIconRestoresTheMinimisedWindow) {
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; }));
  ASSERT_EQ(xdotool(mouseMove(middleOf(wineTrayIcons().front())) + L" click 1"), 0);
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(window) == FALSE; }));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(TrayIconE2eTest, TaskbarCreatedKeepsExactlyOneIcon) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(window, taskbarCreated, 0, 0);
  SendMessageW(window, taskbarCreated, 0, 0);
  pumpFor(300ms);
  EXPECT_EQ(wineTrayIconCount(), 1);
  EXPECT_EQ(tamsik.close(10s), 0u);
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; })) << "the icon outlived the program";
}

}  // namespace
