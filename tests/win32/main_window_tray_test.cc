#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/win32/program.h"
#include "platform/win32/window_thread.h"
#include "fakes/fake_platform.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

class MainWindowTrayTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(program.start(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), Program::Started::shown);
  }
  RunState& state() { return program.application().state(); }

  void tick() { SendMessageW(window.hwnd(), WM_TIMER, control_id::时钟1, 0); }
  // KillTimer tells whether the timer was running, and stops it.
  bool timerWasRunning() { return KillTimer(window.hwnd(), control_id::时钟1) != FALSE; }

  FakeProcesses processes;
  FakeInputHooks hooks;
  Win32WindowThread windowThread;
  Program program{hooks, processes, windowThread};
  MainWindow& window = program.window();
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
  DestroyWindow(window.hwnd());
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 5s)) << "the icon outlived the window";
}

}  // namespace
