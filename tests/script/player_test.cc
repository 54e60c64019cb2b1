#include "script/player.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "app/texts.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"

namespace {

class PlayerTest : public testing::Test {
 protected:
  CallLog play(const std::wstring& script) {
    box.setText(script);
    ScriptPlayer::Run run = player.beginRun();
    player.playScript(run);
    return log;
  }

  // After the n-th pause (1-based), runs the action once.
  void atPause(int n, std::function<void()> action) {
    waiters.onSleep = [this, n, action, count = 0](std::int32_t ms) mutable {
      if (ms != 2 && ++count == n) action();
    };
  }

  CallLog log;
  FakeScriptBox box;
  FakeControls controls{log};
  FakeInputInjector input{log};
  FakeWaiterFactory waiters{log};
  std::atomic<std::int32_t> playing{0};
  ScriptPlayer player{playing, box, controls, input, waiters};
};

TEST_F(PlayerTest, PausesFollowTheStampsWithTwentyAfterTheSecondLine) {
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n1500 3 1 640 480\r\n"),
            (CallLog{"key 65 0", "sleep 1000", "key 65 2", "sleep 20", "mouse 32768 0 0", "cursor 640 480",
                     "sleep 400"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, PausesOfZeroOrLessBecomeThree) {
  EXPECT_EQ(play(L"0 0 65 0 0\r\n5 0 66 0 0\r\n900 0 67 0 0\r\n900 0 68 0 0\r\n100 0 69 0 0\r\n"),
            (CallLog{"key 65 0", "sleep 3", "key 66 0", "sleep 20", "key 67 0", "sleep 895", "key 68 0", "sleep 3",
                     "key 69 0", "sleep 3", "key 69 2", "key 68 2", "key 67 2", "key 66 2", "key 65 2"}));
  log.clear();
  EXPECT_EQ(play(L"-50 2 65 0 0\r\n"), (CallLog{"key 65 2", "sleep 3"}));
}

TEST_F(PlayerTest, DifferencesBeyondThirtyTwoBitsNeitherWrapNorOverflow) {
  const std::wstring max = std::to_wstring(INT_MAX), min = std::to_wstring(INT_MIN);
  EXPECT_EQ(play(max + L" 0 65 0 0\r\n-5 0 66 0 0\r\n" + max + L" 0 67 0 0\r\n" + min + L" 0 68 0 0\r\n"),
            (CallLog{"key 65 0", "sleep " + std::to_string(INT_MAX), "key 66 0", "sleep 20",  //
                     "key 67 0", "sleep " + std::to_string(INT_MAX),                          // INT_MAX + 5
                     "key 68 0", "sleep 3",                                                   // INT_MIN - INT_MAX
                     "key 68 2", "key 67 2", "key 66 2", "key 65 2"}));
}

TEST_F(PlayerTest, LoopsWithThreeMillisecondsAfterTheFirstLineOfLaterPasses) {
  controls.checked[CheckBox::选择框2] = true;
  atPause(7, [&] { player.stop(); });
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 0 66 0 0\r\n1500 0 67 0 0\r\n"),
            (CallLog{"key 65 0", "sleep 1000", "key 66 0", "sleep 20", "key 67 0", "sleep 400",  //
                     "key 65 0", "sleep 3", "key 66 0", "sleep 20", "key 67 0", "sleep 400",   //
                     "key 65 0", "sleep 3",                                                    //
                     "key 67 2", "key 66 2", "key 65 2"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, OneLineScriptLoopsWithThreeMilliseconds) {
  controls.checked[CheckBox::选择框2] = true;
  atPause(3, [&] { player.stop(); });
  EXPECT_EQ(play(L"250 2 65 0 0\r\n"), (CallLog{"key 65 2", "sleep 250", "key 65 2", "sleep 3", "key 65 2", "sleep 3"}));
}

TEST_F(PlayerTest, LoopOptionCountsAtTheEndOfEachPass) {
  controls.checked[CheckBox::选择框2] = false;
  waiters.onSleep = [&, count = 0](std::int32_t) mutable {
    ++count;
    if (count == 1) controls.checked[CheckBox::选择框2] = true;
    if (count == 3) controls.checked[CheckBox::选择框2] = false;
  };
  EXPECT_EQ(play(L"10 2 65 0 0\r\n20 2 66 0 0\r\n"),
            (CallLog{"key 65 2", "sleep 10", "key 66 2", "sleep 20", "key 65 2", "sleep 3", "key 66 2", "sleep 20"}));
}

TEST_F(PlayerTest, StopInAPausePlaysNothingMoreAndReleasesWhatTheRunHolds) {
  atPause(3, [&] { player.stop(); });
  EXPECT_EQ(play(L"100 0 16 0 0\r\n200 3 2 50 60\r\n10000 0 65 0 0\r\n20000 2 65 0 0\r\n30000 2 16 0 0\r\n"),
            (CallLog{"key 16 0", "sleep 100", "mouse 32768 0 0", "cursor 50 60", "sleep 2", "mouse 2 50 60",
                     "sleep 20", "key 65 0", "sleep 9800",  //
                     "key 65 2", "mouse 4 0 0", "key 16 2"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, EndOfScriptReleasesKeysTheScriptLeftDown) {
  EXPECT_EQ(play(L"10 0 17 0 0\r\n20 0 65 0 0\r\n30 2 65 0 0\r\n"),
            (CallLog{"key 17 0", "sleep 10", "key 65 0", "sleep 20", "key 65 2", "sleep 10", "key 17 2"}));
}

TEST_F(PlayerTest, StoppedRunNeverPlaysAgainBesideANewerRun) {
  box.setText(L"10 0 65 0 0\r\n20 0 66 0 0\r\n30 0 67 0 0\r\n");
  ScriptPlayer::Run newer;
  atPause(1, [&] {
    player.stop();
    newer = player.beginRun();  // F12 again before the stopped run wakes
  });
  player.playScript(player.beginRun());
  EXPECT_EQ(log, (CallLog{"key 65 0", "sleep 10", "key 65 2"}));
  EXPECT_EQ(playing.load(), 1) << "the newer run still owns the flag";

  log.clear();
  waiters.onSleep = nullptr;
  player.playScript(newer);
  EXPECT_EQ(log.front(), "key 65 0");
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, EmptyBoxIsRefusedWithAMessageWhilePlayingStaysSet) {
  std::int32_t playingDuringMessage = -1;
  controls.onShowError = [&] { playingDuringMessage = playing.load(); };
  EXPECT_EQ(play(L""), (CallLog{"error"}));
  EXPECT_EQ(controls.lastError, texts::kEmptyScript);
  EXPECT_EQ(playingDuringMessage, 1);
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, BlankLinesAndShortLinesArePassedOver) {
  // The twenty milliseconds belong to box line 1, whatever stood before it.
  EXPECT_EQ(play(L"  \r\n100 0 65 0 0\r\n\r\n1 2 3\r\n200 2 65 0 0 extra\r\n"),
            (CallLog{"key 65 0", "sleep 20", "key 65 2", "sleep 100"}));
}

TEST_F(PlayerTest, LastLineWithoutLineBreakIsNotPlayed) {
  EXPECT_EQ(play(L"10 0 65 0 0\r\n20 2 65 0 0\r\n30 0 66 0 0"),
            (CallLog{"key 65 0", "sleep 10", "key 65 2", "sleep 20"}));
}

TEST_F(PlayerTest, PlaysWhatTheBoxHoldsWhenItComesToEachLine) {
  atPause(1, [&] { box.setText(L"10 0 65 0 0\r\n99 0 90 0 0\r\n199 0 91 0 0\r\n"); });
  EXPECT_EQ(play(L"10 0 65 0 0\r\n20 0 66 0 0\r\n"),
            (CallLog{"key 65 0", "sleep 10", "key 90 0", "sleep 20", "key 91 0", "sleep 100", "key 91 2",
                     "key 90 2", "key 65 2"}));
}

TEST_F(PlayerTest, BoxEmptiedDuringTheRunEndsThePass) {
  controls.checked[CheckBox::选择框2] = true;
  waiters.onSleep = [&, count = 0](std::int32_t) mutable {
    if (++count == 1) box.setText(L"");
    if (count == 4) player.stop();
  };
  CallLog played = play(L"10 0 65 0 0\r\n20 0 66 0 0\r\n");
  EXPECT_EQ(played, (CallLog{"key 65 0", "sleep 10", "sleep 3", "sleep 3", "sleep 3", "key 65 2"}));
}

TEST_F(PlayerTest, RunsFromAnotherThreadAndStopsFromThisOne) {
  controls.checked[CheckBox::选择框2] = true;
  box.setText(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  std::atomic<int> pauses{0};
  waiters.onSleep = [&](std::int32_t) { ++pauses; };
  ScriptPlayer::Run run = player.beginRun();
  std::thread thread([&] { player.playScript(run); });
  while (pauses.load() < 10) std::this_thread::yield();
  player.stop();
  thread.join();
  EXPECT_EQ(playing.load(), 0);
}

}  // namespace
