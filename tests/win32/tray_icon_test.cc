#include "app/tray_icon.h"

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

TEST_F(TrayIconTest, TaskbarRestartLeavesOneIcon) {
  tray.set(L"tip");
  ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }, 5s));
  // The taskbar kept the icon: adding it again must not lose track of it.
  tray.restore();
  tray.set(nullptr);
  pumpFor(200ms);
  EXPECT_EQ(wineTrayIconCount(), 1);
  tray.remove();
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 5s)) << "the icon outlived remove()";
}

}  // namespace
