// Closing the window ends tamsik.exe promptly whatever the player is doing:
// in the middle of a long pause, or showing its message about an empty box.
// Without a window manager Wine takes 2 s to hide each window, hence the
// generous bounds.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/stopwatch.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class ShutdownE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    // Keys from xdotool reach Wine only over one of its windows.
    RECT rect;
    GetWindowRect(control(control_id::脚本框), &rect);
    ASSERT_EQ(xdotool(mouseMove({rect.left + 20, rect.top + 20})), 0);
  }
};

TEST_F(ShutdownE2eTest, ClosingDuringALongPauseEndsTheProcessAndTakesTheIconAway) {
  ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }));
  tamsik.setScript(L"600000 3 1 700 500\r\n");
  tamsik.setChecked(control_id::选择框4, false);
  ASSERT_EQ(xdotool(L"key F12"), 0);
  ASSERT_TRUE(pumpUntil([] {
    POINT at{};
    return GetCursorPos(&at) && at.x == 700 && at.y == 500;
  })) << "the run did not start";
  EXPECT_EQ(tamsik.close(10s), 0u);
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 10s)) << "the icon stayed in the tray";
}

TEST_F(ShutdownE2eTest, EmptyScriptIsRefusedWithAMessageAndClosingStillEndsTheProcess) {
  tamsik.setScript(L"");
  ASSERT_EQ(xdotool(L"key F12"), 0);
  HWND message = nullptr;
  ASSERT_TRUE(pumpUntil([&] { return (message = tamsik.findWindow(L"#32770")) != nullptr; }, 10s)) << "no message box";
  bool saysWhy = false;
  for (HWND child = GetWindow(message, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    saysWhy |= windowText(child) == texts::kEmptyScript;
  }
  EXPECT_TRUE(saysWhy);
  EXPECT_EQ(tamsik.close(10s), 0u);
}

}  // namespace

namespace {

TEST_F(ShutdownE2eTest, ClosingWithAHugeScriptEndsTheProcessWithinTwoSeconds) {
  HWND box = control(control_id::脚本框);
  // In pieces: Wine unpacks a cross-process text on the receiver's stack.
  std::wstring piece;
  for (int i = 0; i < 10000; ++i) piece += std::to_wstring(100000 + i) + L" 0 65 0 0\r\n";
  const double loadStart = nowMs();
  for (int i = 0; i < 30; ++i) {
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  }
  std::printf("300,000 lines put into the box in %.0f ms\n", nowMs() - loadStart);
  ASSERT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 300001);
  const double closedAt = nowMs();
  EXPECT_EQ(tamsik.close(30s), 0u);
  const double took = nowMs() - closedAt;
  std::printf("closed in %.0f ms\n", took);
  EXPECT_LT(took, 2000.0);
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 10s)) << "the icon stayed in the tray";
}

}  // namespace
