#include "script/player.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <thread>

#include "app/texts.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"
#include "fakes/fake_window_system.h"

namespace {

// The log shows each injection at the moment of the fake steady clock when it
// was made; the clock moves only through the player's waits. The box is
// published at once after every change, as the window thread does once it
// is done with the message at hand.
class PlayerTest : public testing::Test {
 protected:
  CallLog play(const std::wstring& script) {
    box.setText(script);
    ScriptPlayer::Run run = player.beginRun();
    player.playScript(run);
    return log;
  }

  CallLog log;
  FakeScriptBox box;
  FakeWindowThread windowThread;
  PublishedScript script{box, windowThread};
  std::atomic<bool> loop{false};
  FakeControls controls{log};
  FakeWaiterFactory waiters;
  FakeInputInjector input{log, &waiters.nowUs};
  std::atomic<std::int32_t> playing{0};
  DesktopGate gate;
  FakeInputDesktop inputDesktop;
  FakeWindowSystem windows{log};
  ScriptPlayer player{playing, script, loop, controls, input, waiters, {gate, inputDesktop, windows}};
};

TEST_F(PlayerTest, EachActionFollowsTheOneBeforeByTheDifferenceOfTheirStamps) {
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n1500 3 1 640 480\r\n"),
            (CallLog{"0ms key 65 0", "100ms key 65 2", "500ms mouse 32768 0 0", "500ms cursor 640 480"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, StampsThatAreEqualOrFallGiveThreeMilliseconds) {
  EXPECT_EQ(play(L"0 0 65 0 0\r\n5 0 66 0 0\r\n900 0 67 0 0\r\n900 0 68 0 0\r\n100 0 69 0 0\r\n"),
            (CallLog{"0ms key 65 0", "5ms key 66 0", "900ms key 67 0", "903ms key 68 0", "906ms key 69 0",
                     "906ms key 69 2", "906ms key 68 2", "906ms key 67 2", "906ms key 66 2", "906ms key 65 2"}));
  log.clear();
  waiters.nowUs = 0;
  EXPECT_EQ(play(L"-50 2 65 0 0\r\n"), (CallLog{"0ms key 65 2"})) << "the first action comes at once, whatever its stamp";
}

TEST_F(PlayerTest, DifferencesBeyondThirtyTwoBitsNeitherWrapNorOverflow) {
  const std::wstring max = std::to_wstring(INT_MAX), min = std::to_wstring(INT_MIN);
  const std::int64_t maxUs = std::int64_t{INT_MAX} * 1000;
  player.stop();  // nothing to do with the numbers: keeps the run from waiting weeks for real
  log.clear();
  box.setText(L"-5 0 66 0 0\r\n" + max + L" 0 67 0 0\r\n" + min + L" 0 68 0 0\r\n");
  ScriptPlayer::Run run = player.beginRun();
  player.playScript(run);
  EXPECT_EQ(log, (CallLog{"0ms key 66 0", msText(maxUs) + " key 67 0",  // INT_MAX + 5 saturates
                          msText(maxUs + 3000) + " key 68 0",           // INT_MIN - INT_MAX is negative
                          msText(maxUs + 3000) + " key 68 2", msText(maxUs + 3000) + " key 67 2",
                          msText(maxUs + 3000) + " key 66 2"}));
}

TEST_F(PlayerTest, LoopingPutsThreeMillisecondsBetweenThePasses) {
  loop = true;
  waiters.at(1050, [&] { player.stop(); });
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 0 66 0 0\r\n1500 0 67 0 0\r\n"),
            (CallLog{"0ms key 65 0", "100ms key 66 0", "500ms key 67 0",     //
                     "503ms key 65 0", "603ms key 66 0", "1003ms key 67 0",  //
                     "1006ms key 65 0",                                       //
                     "1050ms key 67 2", "1050ms key 66 2", "1050ms key 65 2"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, OneLineScriptLoopsEveryThreeMilliseconds) {
  loop = true;
  waiters.at(7, [&] { player.stop(); });
  EXPECT_EQ(play(L"250 2 65 0 0\r\n"), (CallLog{"0ms key 65 2", "3ms key 65 2", "6ms key 65 2"}));
}

TEST_F(PlayerTest, LoopOptionCountsAtTheEndOfEachPass) {
  waiters.at(5, [&] { loop = true; });
  waiters.at(14, [&] { loop = false; });
  EXPECT_EQ(play(L"10 2 65 0 0\r\n20 2 66 0 0\r\n"),
            (CallLog{"0ms key 65 2", "10ms key 66 2", "13ms key 65 2", "23ms key 66 2"}));
}

TEST_F(PlayerTest, SlowInjectionsDoNotMoveLaterActions) {
  // Moves every 15 ms whose two calls each take 1.5 ms, and keys that take 7.
  input.costUs = 1500;
  EXPECT_EQ(play(L"0 3 1 1 1\r\n15 3 1 2 2\r\n30 3 1 3 3\r\n45 3 1 4 4\r\n"),
            (CallLog{"0ms mouse 32768 0 0", "1.5ms cursor 1 1", "15ms mouse 32768 0 0", "16.5ms cursor 2 2",
                     "30ms mouse 32768 0 0", "31.5ms cursor 3 3", "45ms mouse 32768 0 0", "46.5ms cursor 4 4"}));
  log.clear();
  waiters.nowUs = 0;
  input.costUs = 7000;
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n1500 0 66 0 0\r\n"),
            (CallLog{"0ms key 65 0", "100ms key 65 2", "500ms key 66 0", "507ms key 66 2"}));
  log.clear();
  waiters.nowUs = 0;
  input.costUs = 12'000;  // slower than kSlowCallUs: the first key counts as gone out when its call returned
  EXPECT_EQ(play(L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n"), (CallLog{"0ms key 65 0", "112ms key 65 2"}));
}

TEST_F(PlayerTest, StartUpCostsNeverShortenTheFirstGap) {
  struct Case {
    const char* what;
    std::int64_t warmUpCostUs, firstCallCostUs;
    const wchar_t* script;
    CallLog expected;
  };
  const wchar_t* typing = L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n1500 0 66 0 0\r\n1600 2 66 0 0\r\n";
  const CallLog typed{"20ms key 65 0", "120ms key 65 2", "520ms key 66 0", "620ms key 66 2"};
  const Case cases[] = {
      {"the thread's first calls, made by the warm-up", 20'000, 0, typing, typed},
      {"a first key that no warm-up foresaw", 0, 20'000, typing, typed},
      {"a first placement before a button", 0, 20'000, L"100 3 2 5 5\r\n150 3 4 5 5\r\n",
       {"20ms mouse 32768 0 0", "20ms cursor 5 5", "20ms mouse 2 5 5",  //
        "68ms mouse 32768 0 0", "68ms cursor 5 5", "70ms mouse 4 5 5"}},
  };
  for (const Case& c : cases) {
    CallLog calls;
    waiters.nowUs = 0;
    FakeInputInjector slow{calls, &waiters.nowUs};
    slow.warmUpCostUs = c.warmUpCostUs;
    slow.firstCallCostUs = c.firstCallCostUs;
    ScriptPlayer fresh{playing, script, loop, controls, slow, waiters, {gate, inputDesktop, windows}};
    box.setText(c.script);
    fresh.playScript(fresh.beginRun());
    EXPECT_EQ(calls, c.expected) << c.what;
    EXPECT_EQ(slow.warmUps, 1) << c.what;
  }
}

TEST_F(PlayerTest, LagWithinFiftyMillisecondsIsCaughtUp) {
  // The second action is held up by 40 ms; the third keeps its moment.
  waiters.at(50, [&] { waiters.nowUs = 140'000; });
  EXPECT_EQ(play(L"0 0 65 0 0\r\n100 0 66 0 0\r\n130 0 67 0 0\r\n200 0 68 0 0\r\n"),
            (CallLog{"0ms key 65 0", "140ms key 66 0", "140ms key 67 0", "200ms key 68 0", "200ms key 68 2",
                     "200ms key 67 2", "200ms key 66 2", "200ms key 65 2"}));
}

TEST_F(PlayerTest, StallBeyondTheBoundBecomesTheNewReferenceWithoutABurst) {
  // A suspended machine: ten seconds pass in the middle of the third pause.
  waiters.at(150, [&] { waiters.nowUs += 10'000'000; });
  EXPECT_EQ(play(L"0 0 65 0 0\r\n100 2 65 0 0\r\n200 0 66 0 0\r\n300 2 66 0 0\r\n400 0 67 0 0\r\n450 2 67 0 0\r\n"),
            (CallLog{"0ms key 65 0", "100ms key 65 2", "10150ms key 66 0", "10250ms key 66 2", "10350ms key 67 0",
                     "10400ms key 67 2"}));
}

TEST_F(PlayerTest, ButtonLandsOnItsMomentWithTheCursorPlacedTwoMillisecondsBefore) {
  EXPECT_EQ(play(L"100 3 1 10 20\r\n130 3 2 10 20\r\n190 3 4 10 20\r\n"),
            (CallLog{"0ms mouse 32768 0 0", "0ms cursor 10 20",                            //
                     "28ms mouse 32768 0 0", "28ms cursor 10 20", "30ms mouse 2 10 20",   //
                     "88ms mouse 32768 0 0", "88ms cursor 10 20", "90ms mouse 4 10 20"}));
  log.clear();
  waiters.nowUs = 0;
  EXPECT_EQ(play(L"100 3 8 1 2\r\n100 3 16 1 2\r\n"),
            (CallLog{"0ms mouse 32768 0 0", "0ms cursor 1 2", "2ms mouse 8 1 2",  // first action: the placement at once
                     "3ms mouse 32768 0 0", "3ms cursor 1 2", "5ms mouse 16 1 2"}))
      << "a placement is never closer than 2 ms to its button";
}

TEST_F(PlayerTest, SixthFieldReachesTheInjection) {
  EXPECT_EQ(play(L"10 3 2048 600 300 -120\r\n20 3 4096 600 300 120\r\n30 3 128 5 5 1\r\n40 3 256 5 5 1\r\n"
                 L"50 0 13 0 0 1\r\n60 2 13 0 0 1\r\n70 0 36 0 0 0\r\n80 2 36 0 0 0\r\n90 0 65 0 0\r\n"
                 L"95 3 2048 1 1 x\r\n"),
            (CallLog{"0ms mouse 32768 0 0", "0ms cursor 600 300", "2ms mouse 2048 600 300 data=-120",
                     "10ms mouse 32768 0 0", "10ms cursor 600 300", "12ms mouse 4096 600 300 data=120",
                     "20ms mouse 32768 0 0", "20ms cursor 5 5", "22ms mouse 128 5 5 data=1",
                     "30ms mouse 32768 0 0", "30ms cursor 5 5", "32ms mouse 256 5 5 data=1",
                     "42ms key 13 0 ext=1", "52ms key 13 2 ext=1", "62ms key 36 0 ext=0", "72ms key 36 2 ext=0",
                     "82ms key 65 0",
                     "85ms mouse 32768 0 0", "85ms cursor 1 1", "87ms mouse 2048 1 1",  // unusable: 0
                     "87ms key 65 2"}));
}

TEST_F(PlayerTest, StopInAPausePlaysNothingMoreAndReleasesWhatTheRunHolds) {
  waiters.at(5000, [&] { player.stop(); });
  EXPECT_EQ(play(L"100 0 16 0 0\r\n200 3 8 50 60\r\n210 3 128 50 60 2\r\n10000 0 65 0 0\r\n20000 2 65 0 0\r\n"),
            (CallLog{"0ms key 16 0", "98ms mouse 32768 0 0", "98ms cursor 50 60", "100ms mouse 8 50 60",
                     "108ms mouse 32768 0 0", "108ms cursor 50 60", "110ms mouse 128 50 60 data=2",
                     "5000ms mouse 256 0 0 data=2", "5000ms mouse 16 0 0", "5000ms key 16 2"}));
  EXPECT_EQ(playing.load(), 0);
}

TEST_F(PlayerTest, StopBetweenPlacementAndButtonPressesNothing) {
  waiters.at(99, [&] { player.stop(); });
  EXPECT_EQ(play(L"0 0 65 0 0\r\n100 3 2 5 5\r\n"),
            (CallLog{"0ms key 65 0", "98ms mouse 32768 0 0", "98ms cursor 5 5", "99ms key 65 2"}));
}

TEST_F(PlayerTest, EndOfScriptReleasesKeysTheScriptLeftDown) {
  EXPECT_EQ(play(L"10 0 17 0 0\r\n20 0 65 0 0 1\r\n30 2 65 0 0 1\r\n"),
            (CallLog{"0ms key 17 0", "10ms key 65 0 ext=1", "20ms key 65 2 ext=1", "20ms key 17 2"}));
}

TEST_F(PlayerTest, StoppedRunNeverPlaysAgainBesideANewerRun) {
  box.setText(L"10 0 65 0 0\r\n20 0 66 0 0\r\n30 0 67 0 0\r\n");
  ScriptPlayer::Run newer;
  waiters.at(5, [&] {
    player.stop();
    newer = player.beginRun();  // F12 again before the stopped run wakes
  });
  player.playScript(player.beginRun());
  EXPECT_EQ(log, (CallLog{"0ms key 65 0", "5ms key 65 2"}));
  EXPECT_EQ(playing.load(), 1) << "the newer run still owns the flag";

  log.clear();
  player.playScript(newer);
  EXPECT_EQ(log.front(), "5ms key 65 0");
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
  EXPECT_EQ(play(L"  \r\n100 0 65 0 0\r\n\r\n1 2 3\r\n200 2 65 0 0 1 extra\r\n"),
            (CallLog{"0ms key 65 0", "100ms key 65 2 ext=1"}));
}

TEST_F(PlayerTest, LastLineWithoutLineBreakIsNotPlayed) {
  EXPECT_EQ(play(L"10 0 65 0 0\r\n20 2 65 0 0\r\n30 0 66 0 0"), (CallLog{"0ms key 65 0", "10ms key 65 2"}));
}

TEST_F(PlayerTest, PlaysWhatTheBoxHoldsWhenItComesToEachLine) {
  waiters.at(5, [&] { box.setText(L"10 0 65 0 0\r\n99 0 90 0 0\r\n199 0 91 0 0\r\n"); });
  EXPECT_EQ(play(L"10 0 65 0 0\r\n20 0 66 0 0\r\n"),
            (CallLog{"0ms key 65 0", "89ms key 90 0", "189ms key 91 0", "189ms key 91 2", "189ms key 90 2",
                     "189ms key 65 2"}));
}

TEST_F(PlayerTest, BoxEmptiedDuringTheRunLoopsWithoutSpinning) {
  loop = true;
  waiters.at(5, [&] { box.setText(L""); });
  waiters.at(100, [&] { player.stop(); });
  EXPECT_EQ(play(L"10 0 65 0 0\r\n20 0 66 0 0\r\n"), (CallLog{"0ms key 65 0", "100ms key 65 2"}));
  EXPECT_LE(waiters.waits.load(), 40) << "passes of nothing wait 3 ms each";
}

// Shift held while A is typed; something keeps the input from landing from
// 150 ms on, as Windows makes it.
TEST_F(PlayerTest, PausesWhileItsInputCannotLandAndGoesOnFromTheSameAction) {
  struct Case {
    const char* what;
    std::function<void(bool)> away;  // true from 150 ms, false at the end
    double endMs;
    CallLog played;
    std::vector<RunNotice> notices;
  };
  auto lock = [&](DesktopGate::Cause cause) {
    return [&, cause](bool away) {
      gate.set(cause, away);
      player.gateChanged();
    };
  };
  using enum RunNotice;
  const Case cases[] = {
      {"lock: the keys go at once and come back at the unlock, the release its gap later",
       lock(DesktopGate::locked), 2150,
       {"0ms key 16 0", "100ms key 65 0", "150ms key 65 2", "150ms key 16 2",  //
        "2150ms key 16 0", "2150ms key 65 0", "2250ms key 65 2", "2350ms key 16 2"},
       {desktopAway, goingOn}},
      {"suspend", lock(DesktopGate::suspended), 2150,
       {"0ms key 16 0", "100ms key 65 0", "150ms key 65 2", "150ms key 16 2",  //
        "2150ms key 16 0", "2150ms key 65 0", "2250ms key 65 2", "2350ms key 16 2"},
       {desktopAway, goingOn}},
      {"the secure desktop, which the run finds when its release is refused: refused releases are sent again",
       [&](bool away) { input.refusing = away, inputDesktop.ours = !away; }, 1150,
       {"0ms key 16 0", "100ms key 65 0", "200ms key 65 2 refused", "200ms key 65 2 refused",
        "200ms key 16 2 refused",  //
        "1200ms key 65 2", "1200ms key 16 2", "1200ms key 16 0", "1200ms key 65 0", "1300ms key 65 2",
        "1400ms key 16 2"},
       {desktopAway, goingOn}},
      {"a hung window in front: the keys stay down", [&](bool away) { windows.hung = away ? std::set<WindowHandle>{0x77} : std::set<WindowHandle>{}; },
       5150, {"0ms key 16 0", "100ms key 65 0", "5300ms key 65 2", "5400ms key 16 2"}, {windowHung, goingOn}},
      {"F11 while the session is locked", [&](bool away) { away ? lock(DesktopGate::locked)(true) : player.stop(); },
       1000, {"0ms key 16 0", "100ms key 65 0", "150ms key 65 2", "150ms key 16 2"}, {desktopAway, goingOn}},
  };
  windows.foreground = 0x77;
  for (const Case& c : cases) {
    std::vector<RunNotice> notices;
    player.setNoticeListener([&](RunNotice notice) { notices.push_back(notice); });
    log.clear();
    waiters.nowUs = 0;
    waiters.at(150, [&] { c.away(true); });
    waiters.at(c.endMs, [&] { c.away(false); });
    EXPECT_EQ(play(L"0 0 16 0 0\r\n100 0 65 0 0\r\n200 2 65 0 0\r\n300 2 16 0 0\r\n"), c.played) << c.what;
    EXPECT_EQ(notices, c.notices) << c.what;
  }
}

TEST_F(PlayerTest, RunsFromAnotherThreadAndStopsFromThisOne) {
  loop = true;
  box.setText(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  ScriptPlayer::Run run = player.beginRun();
  std::thread thread([&] { player.playScript(run); });
  while (waiters.waits.load() < 10) std::this_thread::yield();
  player.stop();
  thread.join();
  EXPECT_EQ(playing.load(), 0);
}

}  // namespace
