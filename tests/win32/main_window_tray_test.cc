#include "win32/main_window_fixture.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class MainWindowTrayTest : public MainWindowFixture {
 protected:
  void tick() { SendMessageW(window.hwnd(), WM_TIMER, control_id::时钟1, 0); }
  // KillTimer tells whether the timer was running, and stops it.
  bool timerWasRunning() { return KillTimer(window.hwnd(), control_id::时钟1) != FALSE; }
};

// Creating and destroying the window costs seconds under Wine: one test.
TEST_F(MainWindowTrayTest, TimerRunsWhileRecordingOrPlayingAndStopsWhenIdle) {
  ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }, 5s));
  struct Case {
    std::int32_t recording, playing;
    bool keepsRunning;
  };
  for (const Case& c : {Case{1, 0, true}, Case{0, 1, true}, Case{1, 1, true}, Case{0, 0, false}}) {
    SCOPED_TRACE(testing::Message() << "recording " << c.recording << " playing " << c.playing);
    state().recording = c.recording;
    state().playing = c.playing;
    window.controls().setTimerPeriod(1000);
    tick();
    EXPECT_EQ(timerWasRunning(), c.keepsRunning);
    EXPECT_EQ(wineTrayIconCount(), 1);
  }

  SendMessageW(window.hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  tick();
  EXPECT_EQ(wineTrayIconCount(), 1);
  // A logoff lets go of the icon and the hooks as a close does.
  EXPECT_EQ(SendMessageW(window.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(window.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(hooks.calls.back(), "remove");
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 5s)) << "the icon outlived the session";
  DestroyWindow(window.hwnd());
}

}  // namespace
