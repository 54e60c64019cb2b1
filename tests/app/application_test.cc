#include "app/application.h"

#include <gtest/gtest.h>

#include "app/texts.h"
#include "fakes/fake_desktop.h"
#include "input/hot_keys.h"

namespace {

using hot_key::kF11;
using hot_key::kF12;
using hot_key::kScrollLock;

// The whole program over a made-up desktop. The user's input comes through
// the fake hooks at the clock's tick; what the player injects is logged at
// the moments of the run's clock and comes back through the hooks as the
// system sends it. Runs play on this thread when the test lets them.
class ApplicationTest : public testing::Test, protected FakeDesktop {
 protected:
  void SetUp() override { ASSERT_TRUE(app.onWindowCreated()); }

  void key(std::uint32_t tick, std::int32_t transition, std::int32_t vk) {
    clock.now = tick;
    steady.us = std::int64_t{tick} * 1000;
    hooks.listener->onKey(input.key(transition, vk));
  }
  void tap(std::uint32_t tick, std::int32_t vk) {
    key(tick, kKeyPress, vk);
    key(tick, kKeyRelease, vk);
  }
  void mouse(std::uint32_t tick, std::int32_t code, std::int32_t x, std::int32_t y) {
    clock.now = tick;
    steady.us = std::int64_t{tick} * 1000;
    cursor.position = {x, y};
    hooks.listener->onMouse(input.mouse(code, x, y));
  }
  // Runs what F12 started; the user's actions set for moments of the run
  // happen in its pauses.
  CallLog play() {
    threads.runAll();
    return injected;
  }
  void passTo(std::uint32_t tick);

  Application app{platform()};
};

TEST_F(ApplicationTest, RecordedKeysAndClicksPlayBackAsTheyCame) {
  tap(100000, kScrollLock);
  key(100500, kKeyPress, 'A');
  key(100580, kKeyRelease, 'A');
  mouse(100700, mouse_code::kMove, 10, 20);
  mouse(100800, mouse_code::kLeftDown, 10, 20);
  mouse(100850, mouse_code::kLeftUp, 10, 20);
  key(100990, kKeyPress, 0x0D);
  key(101000, kKeyRelease, 0x0D);
  tap(101500, kScrollLock);
  EXPECT_EQ(box.text(), L"500 0 65 0 0\r\n580 2 65 0 0\r\n700 3 1 10 20\r\n800 3 2 10 20\r\n850 3 4 10 20\r\n"
                        L"990 0 13 0 0\r\n1000 2 13 0 0\r\n");
  EXPECT_EQ(controls.status[1], L"共8条脚本,估计执行时间需要1.5秒");

  tap(102000, kF12);
  EXPECT_EQ(play(), (CallLog{"0ms key 65 0", "80ms key 65 2",                                            //
                             "200ms mouse 32768 0 0", "200ms cursor 10 20",                              //
                             "298ms mouse 32768 0 0", "298ms cursor 10 20", "300ms mouse 2 10 20",       //
                             "348ms mouse 32768 0 0", "348ms cursor 10 20", "350ms mouse 4 10 20",       //
                             "490ms key 13 0", "500ms key 13 2"}));
  EXPECT_EQ(app.state().playing.load(), 0);
}

TEST_F(ApplicationTest, ScrollLockDuringARunRecordsTheUserButNotTheRun) {
  box.setText(L"0 0 16 0 0\r\n5000 2 16 0 0\r\n");  // Shift, for five seconds
  loop = true;
  tap(100000, kF12);
  waiters.at(1000, [&] {
    tap(101000, kScrollLock);  // the box empties: the run comes to the end of its pass
    key(101200, kKeyPress, 'X');
  });
  waiters.at(1500, [&] {
    key(101300, kKeyRelease, 'X');
    tap(101400, kScrollLock);
    tap(101450, kF11);
  });
  const CallLog played = play();
  ASSERT_GE(played.size(), 2u);
  EXPECT_EQ(played.front(), "0ms key 16 0");
  EXPECT_EQ(box.text(), L"200 0 88 0 0\r\n300 2 88 0 0\r\n");
  EXPECT_EQ(played.back(), "1500ms key 16 2") << "F11 lets go of Shift";
  EXPECT_EQ(app.state().recording, 0);
  EXPECT_EQ(app.state().playing.load(), 0);
}

// The window thread takes its messages every millisecond up to the tick.
void ApplicationTest::passTo(std::uint32_t tick) {
  while (clock.now != tick) {
    ++clock.now;
    windowThread.runPosted();
  }
}

TEST_F(ApplicationTest, LinesReachTheBoxInBatchesAndWholeForASaveAndAtTheEnd) {
  windowThread.runAtOnce = false;
  controls.checked[CheckBox::选择框3] = false;
  dialogs.saveAnswer = L"C:\\saved.sbj";
  tap(100000, kScrollLock);
  key(100010, kKeyPress, 'A');
  passTo(100011);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n") << "the first line after a quiet spell at once";
  key(100020, kKeyRelease, 'A');
  passTo(100060);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n") << "the next batch 100 ms after the last";
  app.saveScript();
  EXPECT_EQ(files.files[L"C:\\saved.sbj"], "10 0 65 0 0\r\n20 2 65 0 0\r\n") << "the save has every line so far";
  key(100070, kKeyPress, 'B');
  passTo(100150);
  key(100170, kKeyRelease, 'B');
  passTo(100270);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n20 2 65 0 0\r\n70 0 66 0 0\r\n170 2 66 0 0\r\n");
  key(100280, kKeyPress, 'C');
  tap(100290, kScrollLock);
  EXPECT_EQ(box.text(),
            L"10 0 65 0 0\r\n20 2 65 0 0\r\n70 0 66 0 0\r\n170 2 66 0 0\r\n280 0 67 0 0\r\n290 2 67 0 0\r\n")
      << "the end of the recording writes the rest at once, and releases what is still down";
  EXPECT_EQ(controls.status[1], L"共7条脚本,估计执行时间需要0.29秒");
  tap(101000, kF12);
  EXPECT_EQ(play(), (CallLog{"0ms key 65 0", "10ms key 65 2", "60ms key 66 0", "160ms key 66 2", "270ms key 67 0",
                             "280ms key 67 2"}));
}

TEST_F(ApplicationTest, RunGoingOnDuringARecordingPlaysTheLinesAsTheyReachTheBox) {
  windowThread.runAtOnce = false;
  box.setText(L"0 0 16 0 0\r\n5000 2 16 0 0\r\n");
  loop = true;
  tap(100000, kF12);
  for (std::uint32_t ms = 1000; ms <= 1600; ++ms) waiters.at(ms, [this, ms] { passTo(100000 + ms); });
  waiters.at(1000, [&] { tap(101000, kScrollLock); });
  waiters.at(1200.5, [&] { key(101200, kKeyPress, 'X'); });
  waiters.at(1250.5, [&] { key(101250, kKeyRelease, 'X'); });
  waiters.at(1400.5, [&] { tap(101400, kScrollLock); });
  waiters.at(1600.5, [&] { tap(101600, kF11); });
  const CallLog played = play();
  EXPECT_EQ(box.text(), L"200 0 88 0 0\r\n250 2 88 0 0\r\n");
  auto at = [&](const std::string& action) {
    for (const std::string& entry : played) {
      if (entry.ends_with(action)) return std::stod(entry);
    }
    return -1.0;
  };
  EXPECT_GE(at("key 88 0"), 1200.0);
  EXPECT_LE(at("key 88 0"), 1200.0 + 100 + 3) << "played once its batch reached the box";
  EXPECT_GE(at("key 88 2"), 1250.0);
  EXPECT_EQ(app.state().playing.load(), 0);
}

TEST_F(ApplicationTest, OpeningAScriptDuringARecordingLastsUntilTheNextRecordedEvent) {
  controls.checked[CheckBox::选择框3] = false;
  files.files[L"C:\\opened.sbj"] = "9 0 66 0 0\r\n";
  dialogs.openAnswer = L"C:\\opened.sbj";
  tap(100000, kScrollLock);
  key(100100, kKeyPress, 'A');
  app.openScript();
  EXPECT_EQ(box.text(), L"9 0 66 0 0\r\n");
  EXPECT_EQ(controls.status[1], L"共2条脚本");
  key(100200, kKeyRelease, 'A');
  EXPECT_EQ(box.text(), L"100 0 65 0 0\r\n200 2 65 0 0\r\n") << "the recording is the script";
  tap(100300, kScrollLock);
  EXPECT_EQ(controls.status[1], L"共3条脚本,估计执行时间需要0.3秒");
}

TEST_F(ApplicationTest, F11DuringALongPauseStopsAtOnceAndLetsGoOfTheKey) {
  box.setText(L"0 0 16 0 0\r\n600000 2 16 0 0\r\n");
  controls.checked[CheckBox::选择框2] = true;
  loop = true;
  tap(100000, kF12);
  EXPECT_EQ(app.state().playing.load(), 1) << "set before the run's thread starts";
  waiters.at(1000, [&] { tap(101000, kF11); });
  EXPECT_EQ(play(), (CallLog{"0ms key 16 0", "1000ms key 16 2"}));
  EXPECT_EQ(app.state().playing.load(), 0);
  EXPECT_FALSE(controls.checked[CheckBox::选择框2]);
  EXPECT_TRUE(app.onTimerTick()) << "nothing is on: the timer stops";
}

TEST_F(ApplicationTest, HooksComeWithTheWindowAndGoWithIt) {
  EXPECT_EQ(hooks.calls, (CallLog{"install"}));
  tap(100000, kScrollLock);
  EXPECT_FALSE(app.onTimerTick()) << "a recording is on";
  EXPECT_TRUE(app.onWindowClosing(std::chrono::seconds(1)));
  EXPECT_EQ(hooks.calls, (CallLog{"install", "remove"}));
}

TEST_F(ApplicationTest, HooksAreInstalledAgainAfterAResumeOrAnUnlockWhileTheWindowLives) {
  app.onResumeOrUnlock();
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install"}));
  // The keyboard's input before the reinstallation is no evidence against
  // the new hooks.
  keyboard.tick = lastInput.tick = clock.now - 10;
  clock.now += 1000;
  app.checkHooks();
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install"}));
  ASSERT_TRUE(app.onWindowClosing(std::chrono::seconds(1)));
  app.onResumeOrUnlock();
  app.checkHooks();
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install", "remove"}));
}

TEST_F(ApplicationTest, KeysMissedBecauseAnElevatedWindowIsInFrontAreNoSignOfALostHook) {
  struct Case {
    std::uint32_t foregroundLevel;
    bool leftBeforeTheLook;  // the window came to the front after the last look and left again
    bool reinstalled;
  };
  const Case cases[] = {
      {FakeIntegrityLevels::kMedium, false, true},  {FakeIntegrityLevels::kHigh, false, false},
      {FakeIntegrityLevels::kSystem, false, false}, {FakeIntegrityLevels::kDenied, false, false},
      {FakeIntegrityLevels::kHigh, true, false},    {FakeIntegrityLevels::kMedium, true, true},
  };
  integrity.levels[0x1234] = FakeIntegrityLevels::kMedium;
  for (const Case& c : cases) {
    integrity.levels[0x4321] = c.foregroundLevel;
    windows.foreground = 0x1234;
    clock.now += 5000;
    app.checkHooks();  // a quiet look
    hooks.calls.clear();
    windows.foreground = 0x4321;
    app.onForegroundChanged(0x4321);
    keyboard.tick = lastInput.tick = clock.now + 100;  // a key the keyboard hook did not hear
    if (c.leftBeforeTheLook) {
      windows.foreground = 0x1234;
      app.onForegroundChanged(0x1234);
    }
    clock.now += 1000;
    app.checkHooks();
    EXPECT_EQ(hooks.calls, c.reinstalled ? CallLog{"install"} : CallLog{})
        << std::hex << c.foregroundLevel << " left " << c.leftBeforeTheLook;
  }
}

TEST_F(ApplicationTest, F12SaysWhenTheWindowInFrontRunsAboveUs) {
  box.setText(L"0 0 65 0 0\r\n");
  windows.foreground = 0x1234;
  integrity.levels[0x1234] = FakeIntegrityLevels::kHigh;
  tap(100000, kF12);
  EXPECT_EQ(controls.status[1], texts::kForegroundElevated);
  EXPECT_EQ(play(), (CallLog{"0ms key 65 0", "0ms key 65 2"})) << "the run starts all the same";
}

TEST_F(ApplicationTest, ARunWhoseInputTheSystemRefusesSaysSoOncePerRunWhenTheWindowInFrontIsAboveUs) {
  box.setText(L"0 0 65 0 0\r\n100 2 65 0 0\r\n200 0 66 0 0\r\n");
  injector.refusing = true;
  tap(100000, kF12);
  EXPECT_EQ(play(), (CallLog{"0ms key 65 0 refused", "100ms key 65 2 refused", "200ms key 66 0 refused"}))
      << "a refused press holds nothing to release";
  EXPECT_EQ(controls.status[1], L"") << "the window in front is not above ours: nothing is known";
  waiters.nowUs = 0;
  tap(101000, kF12);
  windows.foreground = 0x1234;  // the script brought a window above ours to the front
  integrity.levels[0x1234] = FakeIntegrityLevels::kHigh;
  waiters.at(150, [&] { controls.status[1] = L"read"; });
  play();
  EXPECT_EQ(controls.status[1], L"read") << "once a run";
  tap(102000, kF12);
  controls.status[1] = L"read";
  play();
  EXPECT_EQ(controls.status[1], texts::kForegroundElevated) << "and again in the next";
}

TEST_F(ApplicationTest, WhileTheDesktopIsAwayARecordingStandsStillAndARunPausesAndSaysSo) {
  controls.checked[CheckBox::选择框3] = false;
  tap(100000, kScrollLock);
  key(100100, kKeyPress, 0x11);  // Ctrl, whose release the hooks will not see
  clock.now = 100200, steady.us = 100'200'000;
  app.onDesktopAway(DesktopGate::locked, true);
  clock.now = 200000, steady.us = 200'000'000;
  app.onDesktopAway(DesktopGate::locked, false);
  key(200050, kKeyPress, 'A');
  tap(200060, kScrollLock);
  EXPECT_EQ(box.text(), L"100 0 17 0 0\r\n200 2 17 0 0\r\n250 0 65 0 0\r\n260 2 65 0 0\r\n");

  box.setText(L"0 0 16 0 0\r\n5000 2 16 0 0\r\n");
  tap(300000, kF12);
  std::wstring whilePaused;
  waiters.at(1000, [&] { app.onDesktopAway(DesktopGate::suspended, true); });
  waiters.at(1500, [&] { whilePaused = controls.status[1]; });
  waiters.at(3000, [&] { app.onDesktopAway(DesktopGate::suspended, false); });
  EXPECT_EQ(play(), (CallLog{"0ms key 16 0", "1000ms key 16 2", "3000ms key 16 0", "8000ms key 16 2"}));
  EXPECT_EQ(whilePaused, texts::kDesktopAway);
  EXPECT_EQ(controls.status[1], L"");
}

TEST_F(ApplicationTest, TheSessionsEndStopsTheRunAndEndsTheRecording) {
  controls.checked[CheckBox::选择框3] = false;
  box.setText(L"0 0 16 0 0\r\n600000 2 16 0 0\r\n");
  tap(100000, kF12);
  waiters.at(1000, [&] {
    tap(101000, kScrollLock);
    key(101100, kKeyPress, 'A');
    app.onSessionEnding();
  });
  EXPECT_EQ(play(), (CallLog{"0ms key 16 0", "1000ms key 16 2"}));
  EXPECT_EQ(app.state().playing.load(), 0);
  EXPECT_EQ(app.state().recording, 0);
  EXPECT_EQ(box.text(), L"100 0 65 0 0\r\n100 2 65 0 0\r\n");
  EXPECT_EQ(controls.status[1], L"共3条脚本,估计执行时间需要0.1秒");
}

TEST_F(ApplicationTest, ACloseThatARunDoesNotEndInTimeLetsGoOfWhatTheRunHolds) {
  box.setText(L"0 0 16 0 0\r\n600000 2 16 0 0\r\n");
  tap(100000, kF12);
  CallLog whenClosed;
  waiters.at(1000, [&] {
    threads.stuck = true;
    EXPECT_FALSE(app.onWindowClosing(std::chrono::milliseconds(500)));
    whenClosed = injected;
  });
  play();
  EXPECT_EQ(whenClosed, (CallLog{"0ms key 16 0", "1000ms key 16 2"})) << "released by the close itself";
}

// The same program, not yet past the window's creation.
class ApplicationSecondCopyTest : public ApplicationTest {
 protected:
  void SetUp() override {}
};

TEST_F(ApplicationSecondCopyTest, StartsNothingWhenAnotherCopyRuns) {
  processes.claims.insert({1, L"TAMSIK.EXE"});
  EXPECT_FALSE(app.onWindowCreated());
  EXPECT_EQ(hooks.calls, CallLog{});
  EXPECT_TRUE(windowList.entries.empty());
  EXPECT_EQ(processes.broughtForward, 1) << "the running copy's window comes to the front";
}

// Two copies that start at the same moment see each other in the process
// list; the session's claim lets exactly one of them go on.
TEST_F(ApplicationSecondCopyTest, OfTwoCopiesStartedTogetherOneRuns) {
  processes.running = {{L"EXPLORER.EXE", 1}, {L"TAMSIK.EXE", 1}, {L"TAMSIK.EXE", 1}};
  FakeInputHooks otherHooks;
  FakeWindowListBox otherList;
  Application other{platform(otherList, otherHooks)};
  EXPECT_TRUE(app.onWindowCreated());
  EXPECT_EQ(processes.broughtForward, 0) << "the copy that runs asks no one";
  EXPECT_FALSE(other.onWindowCreated());
  EXPECT_EQ(hooks.calls, CallLog{"install"});
  EXPECT_EQ(otherHooks.calls, CallLog{});
  EXPECT_EQ(processes.broughtForward, 1);
}

}  // namespace
