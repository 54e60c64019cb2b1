#include "app/win32/tray_icon.h"

#include <gtest/gtest.h>

#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class TrayIconTest : public testing::Test {
 protected:
  ~TrayIconTest() override {
    tray.remove();
    DestroyWindow(owner);
    DestroyIcon(icon);
  }

  HWND owner = CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  TrayIcon tray{owner, WM_APP + 1, icon};
};

// The answers that ShellPresence relies on, and FakeNotificationArea gives:
// an add is refused for an icon the shell has, a modify for one it has not.
TEST_F(TrayIconTest, TheShellRefusesASecondAddAndAModifyOfNoIcon) {
  EXPECT_FALSE(tray.modify(L"tip"));
  EXPECT_TRUE(tray.add(L"tip"));
  ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }, 5s));
  EXPECT_FALSE(tray.add(L"tip"));
  EXPECT_TRUE(tray.modify(L"other"));
  pumpFor(200ms);
  EXPECT_EQ(wineTrayIconCount(), 1);
  EXPECT_TRUE(tray.remove());
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 5s)) << "the icon outlived remove()";
  EXPECT_FALSE(tray.modify(L"tip"));
}

}  // namespace
