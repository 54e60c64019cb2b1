#include "input/hot_keys.h"

#include "app/texts.h"
#include "input/hook_codes.h"
#include "fakes/fake_runs.h"
#include "input/recorder_fixture.h"

namespace {

class HotKeysTest : public RecorderTest {
 protected:
  // Keys as the hook delivers them, at the clock's present moment.
  void press(std::int32_t vk) { hotKeys.onKeyEvent(input.key(kKeyPress, vk)); }
  void release(std::int32_t vk) { hotKeys.onKeyEvent(input.key(kKeyRelease, vk)); }
  void tap(std::int32_t vk) {
    press(vk);
    release(vk);
  }
  void tapAt(std::uint32_t ms, std::int32_t vk) {
    steady.us = state.recordStartTick + std::int64_t{ms} * 1000;
    tap(vk);
  }

  FakeSounds sounds{log};
  FakeRuns runs{log, state.playing};
  HotKeys hotKeys{state, controls, sounds, runs, recorder};
};

using hot_key::kF11;
using hot_key::kF12;
using hot_key::kScrollLock;

TEST_F(HotKeysTest, ScrollLockStartsARecordingOnItsRelease) {
  box.setText(L"1 2 3 4 5\r\n");
  state.lastMousePos = {5, 5};
  state.lastMouseTime = 77;
  controls.status[1] = L"earlier message";
  press(kScrollLock);
  EXPECT_EQ(state.recording, 0);
  release(kScrollLock);
  EXPECT_EQ(state.recording, 1);
  EXPECT_EQ(state.recordStartTick, 100'000'000);
  EXPECT_EQ(box.text(), L"");
  EXPECT_EQ(state.lastMousePos, (MousePoint{0, 0}));
  EXPECT_EQ(state.lastMouseTime, 0);
  EXPECT_EQ(log, (CallLog{"minimise", "timer 1000", "sound 55776"}));
  EXPECT_EQ(controls.status[1], L"earlier message");
}

TEST_F(HotKeysTest, SecondScrollLockEndsWithTheSummary) {
  controls.checked[CheckBox::选择框3] = false;
  tap(kScrollLock);
  tapAt(1000, 0x41);
  tapAt(12345, kScrollLock);
  EXPECT_EQ(state.recording, 0);
  EXPECT_EQ(state.recordStartTick, 0);
  EXPECT_EQ(box.text(), L"1000 0 65 0 0\r\n1000 2 65 0 0\r\n");
  EXPECT_EQ(state.recordedScript, box.text());
  EXPECT_EQ(controls.status[1], L"共3条脚本,估计执行时间需要12.345秒");
  EXPECT_EQ(log, (CallLog{"timer 1000", "sound 55776", "sound 4719"}));
}

TEST_F(HotKeysTest, SummaryCountsLinesStillOnTheirWayToTheBox) {
  windowThread.runAtOnce = false;
  tap(kScrollLock);
  tapAt(1000, 0x41);
  tapAt(1500, kScrollLock);
  EXPECT_EQ(box.text(), L"1000 0 65 0 0\r\n1000 2 65 0 0\r\n");
  EXPECT_EQ(controls.status[1], L"共3条脚本,估计执行时间需要1.5秒");
}

TEST_F(HotKeysTest, RecordingRunsFromOneScrollLockToTheOtherOnTheFineClock) {
  controls.checked[CheckBox::选择框3] = false;
  steady.us = 500'000'000;  // the window's thread gets to each event later than the hook did
  hotKeys.onKeyEvent(KeyEvent{2, kScrollLock, false, false, 0, 499'000'300});
  EXPECT_EQ(state.recordStartTick, 499'000'300);
  hotKeys.onKeyEvent(KeyEvent{0, 0x41, false, false, 0, 499'250'299});
  steady.us = 700'000'000;
  hotKeys.onKeyEvent(KeyEvent{2, kScrollLock, false, false, 0, 501'500'299});
  EXPECT_EQ(box.text(), L"249 0 65 0 0\r\n2499 2 65 0 0\r\n") << "a key still down is released at the end";
  EXPECT_EQ(controls.status[1], L"共3条脚本,估计执行时间需要2.499秒");
}

TEST_F(HotKeysTest, EmptyRecordingReportsOneLine) {
  tap(kScrollLock);
  tapAt(2000, kScrollLock);
  EXPECT_EQ(controls.status[1], L"共1条脚本,估计执行时间需要2秒");
}

TEST_F(HotKeysTest, SummaryWritesSecondsWithoutTrailingZeros) {
  EXPECT_EQ(recordingSummary(3, 12345), L"共3条脚本,估计执行时间需要12.345秒");
  EXPECT_EQ(recordingSummary(1, 0), L"共1条脚本,估计执行时间需要0秒");
  EXPECT_EQ(recordingSummary(2, 1500), L"共2条脚本,估计执行时间需要1.5秒");
  EXPECT_EQ(recordingSummary(2, 1050), L"共2条脚本,估计执行时间需要1.05秒");
  EXPECT_EQ(recordingSummary(2, 7), L"共2条脚本,估计执行时间需要0.007秒");
  EXPECT_EQ(recordingSummary(2, INT32_MAX), L"共2条脚本,估计执行时间需要2147483.647秒");
}

TEST_F(HotKeysTest, HotKeysNeverStandInARecording) {
  tap(kScrollLock);
  log.clear();
  tapAt(10, kF12);
  tapAt(20, kF11);
  press(kScrollLock);
  tapAt(30, 0x24);  // Home is an ordinary key
  EXPECT_EQ(box.text(), L"30 0 36 0 0\r\n30 2 36 0 0\r\n");
  EXPECT_EQ(log, CallLog{}) << "F12 and F11 do nothing during a recording";
  EXPECT_EQ(state.recording, 1);
}

TEST_F(HotKeysTest, KeysAreRecordedOnlyWithTheKeyboardOption) {
  tap(kScrollLock);
  controls.checked[CheckBox::选择框6] = false;
  tapAt(10, 0x41);
  controls.checked[CheckBox::选择框6] = true;
  tapAt(20, 0x10);
  EXPECT_EQ(box.text(), L"20 0 16 0 0\r\n20 2 16 0 0\r\n");
}

TEST_F(HotKeysTest, KeysOutsideARecordingDoNothing) {
  tap(0x41);
  EXPECT_EQ(box.text(), L"");
  EXPECT_EQ(log, CallLog{});
}

TEST_F(HotKeysTest, F12RunsTheScript) {
  tap(kF12);
  EXPECT_EQ(log, (CallLog{"minimise", "run", "timer 1000"}));
  log.clear();
  tap(kF12);
  EXPECT_EQ(log, CallLog{}) << "one run at a time";
  controls.checked[CheckBox::选择框4] = false;
  state.playing = 0;
  tap(kF12);
  EXPECT_EQ(log, (CallLog{"run", "timer 1000"}));
}

TEST_F(HotKeysTest, F12WithTheTargetOptionNeedsTheTargetInFront) {
  controls.checked[CheckBox::选择框5] = true;
  tap(kF12);
  EXPECT_EQ(controls.status[1], texts::kTargetNotInFront);
  EXPECT_EQ(log, CallLog{});
  runs.targetInFront = true;
  tap(kF12);
  EXPECT_EQ(log, (CallLog{"minimise", "run", "timer 1000"}));
}

TEST_F(HotKeysTest, F12WithAnElevatedWindowInFrontRunsAndSaysSo) {
  controls.status[1] = L"earlier message";
  struct Case {
    bool targetOption, targetInFront, alreadyPlaying;
    CallLog log;
    const wchar_t* status;
  };
  const Case cases[] = {
      {false, false, false, {"minimise", "run", "timer 1000"}, texts::kForegroundElevated},
      {true, true, false, {"minimise", "run", "timer 1000"}, texts::kForegroundElevated},
      {true, false, false, {}, texts::kTargetNotInFront},
      {false, false, true, {}, L"earlier message"},
  };
  runs.foregroundAboveUs = true;
  for (const Case& c : cases) {
    log.clear();
    controls.status[1] = L"earlier message";
    controls.checked[CheckBox::选择框5] = c.targetOption;
    runs.targetInFront = c.targetInFront;
    state.playing = c.alreadyPlaying ? 1 : 0;
    tap(kF12);
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(controls.status[1], c.status);
  }
}

TEST_F(HotKeysTest, F11UnchecksLoopingAndStops) {
  controls.checked[CheckBox::选择框2] = true;
  tap(kF11);
  EXPECT_EQ(log, (CallLog{"uncheck 2", "stop"}));
  EXPECT_FALSE(controls.checked[CheckBox::选择框2]);
  state.playing = 1;
  tap(kF11);
  EXPECT_EQ(state.playing.load(), 0);
}

TEST_F(HotKeysTest, ScrollLockDuringARunStartsARecordingBesideIt) {
  state.playing = 1;
  tap(kScrollLock);
  EXPECT_EQ(state.recording, 1);
  EXPECT_EQ(state.playing.load(), 1);
}

TEST_F(HotKeysTest, OwnInjectedKeysAreNeitherHotKeysNorRecorded) {
  tap(kScrollLock);
  log.clear();
  // What the player injects comes back through the hook with our marker.
  FakeInputInjector sink{log};
  struct Loopback : InputInjector {
    HotKeys& hotKeys;
    explicit Loopback(HotKeys& keys) : hotKeys(keys) {}
    bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool>) override {
      hotKeys.onKeyEvent(KeyEvent{transition, vk, true});
      return true;
    }
    bool injectMouseEvent(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return true; }
    void setCursorPos(std::int32_t, std::int32_t) override {}
    void warmUp() override {}
  } loopback{hotKeys};
  for (std::int32_t vk : {kScrollLock, kF12, kF11, 0x41}) {
    loopback.injectKeyEvent(vk, 0, std::nullopt);
    loopback.injectKeyEvent(vk, 2, std::nullopt);
  }
  EXPECT_EQ(state.recording, 1);
  EXPECT_EQ(box.text(), L"");
  EXPECT_EQ(log, CallLog{});
}

TEST_F(HotKeysTest, ModifiersMakeNoDifferenceToHotKeys) {
  controls.checked[CheckBox::选择框4] = false;
  press(0x10);
  tap(kF12);
  release(0x10);
  EXPECT_EQ(log, (CallLog{"run", "timer 1000"}));
}

TEST_F(HotKeysTest, ClearDuringARecordingIsUndoneByTheNextEvent) {
  tap(kScrollLock);
  tapAt(10, 0x41);
  box.setText(L"");
  mouseAt(500, 2, 1, 2);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n10 2 65 0 0\r\n500 3 2 1 2\r\n");
}

}  // namespace
