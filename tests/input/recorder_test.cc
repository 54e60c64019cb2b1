#include "input/recorder_fixture.h"

#include <algorithm>

namespace {

TEST_F(RecorderTest, MovesWithinTheSensitivityAreDropped) {
  startRecording();
  for (std::int32_t t : {5, 10, 15, 20, 25, 30}) mouseAt(t, 1, t, 2 * t);
  EXPECT_EQ(box.text(), L"15 3 1 15 30\r\n30 3 1 30 60\r\n");
  EXPECT_EQ(state.lastMouseTime, 30);
  EXPECT_EQ(state.lastMousePos, (MousePoint{30, 60}));
}

TEST_F(RecorderTest, SensitivityIsReadAtEveryMove) {
  startRecording();
  controls.sensitivity = L"20";
  mouseAt(20, 1, 1, 1);  // exactly the sensitivity: dropped
  mouseAt(21, 1, 2, 2);
  controls.sensitivity = L"5";
  mouseAt(26, 1, 3, 3);  // 5 after the last: dropped
  mouseAt(27, 1, 4, 4);
  EXPECT_EQ(box.text(), L"21 3 1 2 2\r\n27 3 1 4 4\r\n");
}

TEST_F(RecorderTest, MoveToTheLastPositionIsNeverRecorded) {
  startRecording();
  mouseAt(50, 1, 0, 0);  // (0, 0) is where a recording starts
  mouseAt(60, 1, 7, 8);
  mouseAt(5000, 1, 7, 8);
  mouseAt(5100, 2, 7, 8);  // buttons are not filtered
  EXPECT_EQ(box.text(), L"60 3 1 7 8\r\n5100 3 2 7 8\r\n");
}

TEST_F(RecorderTest, ButtonsPassAtOnceAndRestartTheThrottle) {
  startRecording();
  mouseAt(100, 1, 10, 10);
  mouseAt(101, 2, 10, 10);
  mouseAt(101, 4, 10, 10);
  mouseAt(105, 1, 20, 20);  // within 10 ms of the button release
  mouseAt(112, 1, 30, 30);
  EXPECT_EQ(box.text(), L"100 3 1 10 10\r\n101 3 2 10 10\r\n101 3 4 10 10\r\n112 3 1 30 30\r\n");
}

TEST_F(RecorderTest, OptionsChooseWhatIsRecorded) {
  struct Case {
    bool mouseActions, moves;
    const wchar_t* expected;
  };
  for (const Case& c : {Case{true, true, L"100 3 1 5 5\r\n200 3 8 5 5\r\n"}, Case{true, false, L"200 3 8 5 5\r\n"},
                        Case{false, true, L""}, Case{false, false, L""}}) {
    controls.checked[CheckBox::选择框7] = c.mouseActions;
    controls.checked[CheckBox::选择框1] = c.moves;
    startRecording();
    mouseAt(100, 1, 5, 5);
    mouseAt(200, 8, 5, 5);
    EXPECT_EQ(box.text(), c.expected) << c.mouseActions << c.moves;
  }
}

TEST_F(RecorderTest, KeyLinesAreNeitherThrottledNorMerged) {
  startRecording();
  mouseAt(2000, 1, 9, 9);
  keyAt(2015, 0, 65);
  keyAt(2015, 2, 65);
  mouseAt(2016, 1, 10, 10);  // key lines do not restart the throttle
  EXPECT_EQ(box.text(), L"2000 3 1 9 9\r\n2015 0 65 0 0\r\n2015 2 65 0 0\r\n2016 3 1 10 10\r\n");
}

TEST_F(RecorderTest, LinesAreStampedWhenTheHookGotTheEventNotWhenTheWindowThreadDoes) {
  startRecording();
  const std::int64_t start = state.recordStartTick;
  steady.us += 900'000;  // the window's thread gets to the events late
  recorder.appendKeyLine(KeyEvent{0, 65, false, false, steady.windowsTick(), start + 15'400});
  recorder.onMouseEvent(MouseEvent{2, 4, 4, false, 0, steady.windowsTick(), start + 40'999});
  EXPECT_EQ(box.text(), L"15 0 65 0 0\r\n40 3 2 4 4\r\n");
}

TEST_F(RecorderTest, LinesFollowTheFineClockWhateverTheSystemsStampSays) {
  startRecording();
  const std::int64_t start = state.recordStartTick;
  keyAt(5, 0, 65);  // the tick has not moved since the start: Windows stamps both 0 ms
  keyAt(10, 2, 65);
  mouseAt(27, 2, 1, 1);  // and these two 15.625 ms apart
  mouseAt(33, 4, 1, 1);
  // Another program's keys, sent with times of its own choosing.
  steady.us = start + 40'000;
  recorder.appendKeyLine(KeyEvent{0, 66, false, false, steady.windowsTick() - 5000, steady.us});  // 5 s in the past
  steady.us = start + 50'000;
  recorder.appendKeyLine(KeyEvent{2, 66, false, false, steady.windowsTick() + 5000, steady.us});  // 5 s ahead
  EXPECT_EQ(box.text(), L"5 0 65 0 0\r\n10 2 65 0 0\r\n27 3 2 1 1\r\n33 3 4 1 1\r\n40 0 66 0 0\r\n50 2 66 0 0\r\n");
}

TEST_F(RecorderTest, SixthFieldOnlyWhereTheEventCarriesMore) {
  startRecording();
  mouseAt(100, 2048, 600, 300, false, -120);  // wheel toward the user
  mouseAt(110, 4096, 600, 300, false, 240);   // horizontal wheel
  mouseAt(120, 128, 600, 300, false, 1);      // side buttons
  mouseAt(130, 256, 600, 300, false, 1);
  mouseAt(140, 128, 600, 300, false, 2);
  mouseAt(150, 2, 600, 300);
  mouseAt(170, 1, 610, 300);
  keyAt(200, 0, 0x0D, true);   // numeric-pad Enter: extended, unlike Enter
  keyAt(210, 2, 0x0D, false);  // Enter
  keyAt(220, 0, 0x24, false);  // numeric-pad Home with NumLock off: not extended, unlike Home
  keyAt(230, 2, 0x24, true);   // Home
  keyAt(240, 0, 0x41, false);
  EXPECT_EQ(box.text(),
            L"100 3 2048 600 300 -120\r\n110 3 4096 600 300 240\r\n120 3 128 600 300 1\r\n"
            L"130 3 256 600 300 1\r\n140 3 128 600 300 2\r\n150 3 2 600 300\r\n170 3 1 610 300\r\n"
            L"200 0 13 0 0 1\r\n210 2 13 0 0\r\n220 0 36 0 0 0\r\n230 2 36 0 0\r\n240 0 65 0 0\r\n");
}

TEST_F(RecorderTest, NegativeCoordinatesKeepTheirSign) {
  startRecording();
  mouseAt(300, 2, -1280, 200);
  EXPECT_EQ(box.text(), L"300 3 2 -1280 200\r\n");
}

TEST_F(RecorderTest, CursorReadoutFollowsEveryMouseEventRecordingOrNot) {
  cursor.position = {640, 480};
  recorder.onMouseEvent(MouseEvent{1, 1, 1, false});
  EXPECT_EQ(controls.status[0], L"x=640  y=480");
  startRecording();
  cursor.position = {-5, 7};
  mouseAt(100, 2, 3, 3);
  EXPECT_EQ(controls.status[0], L"x=-5  y=7");
  EXPECT_EQ(controls.status[1], L"") << "the message panel is not the recorder's";
}

TEST_F(RecorderTest, ClearedOrEditedBoxGetsTheWholeRecordingBack) {
  startRecording();
  keyAt(10, 0, 65);
  box.setText(L"");  // the clear button
  keyAt(20, 2, 65);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  box.setText(L"10 0 66 0 0\r\n20 2 65 0 0\r\n");  // an edit of the same length
  keyAt(30, 0, 67);
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n20 2 65 0 0\r\n30 0 67 0 0\r\n");
  EXPECT_EQ(box.selectionStart, static_cast<std::int32_t>(box.text().size()));
}

TEST_F(RecorderTest, UntouchedBoxIsAppendedToNotRewritten) {
  startRecording();
  keyAt(10, 0, 65);
  std::uint64_t revision = box.revision();
  keyAt(20, 2, 65);
  EXPECT_EQ(box.revision(), revision + 1) << "one append, no rewrite";
  EXPECT_EQ(box.text(), state.recordedScript);
  EXPECT_EQ(box.selectionStart, 26);
}

// A steady stream of moves and keys, an event every 7 ms for two seconds,
// with the window thread taking its messages every millisecond: the box and
// the readout are written at most every 100 ms, every line is in the box
// within 100 ms of its event, in order, and the readout shows the cursor as
// it is when the readout is made.
TEST_F(RecorderTest, BoxAndReadoutFollowASteadyStreamAtAHumanPace) {
  controls.sensitivity = L"5";
  startRecording();
  windowThread.runAtOnce = false;
  struct Write {
    std::uint32_t ms;
    std::size_t length;
  };
  std::vector<Write> boxWrites;
  std::vector<std::uint32_t> readouts;
  std::vector<Write> lines;  // when each line was recorded, and where it ends in the script
  std::wstring shown;
  for (std::uint32_t ms = 1; ms <= 2200; ++ms) {
    at(ms);
    cursor.position = {static_cast<std::int32_t>(ms), 1};
    if (ms <= 2000 && ms % 7 == 0) {
      std::size_t before = state.recordedScript.size();
      if (ms % 70 == 0) {
        recorder.appendKeyLine(KeyEvent{0, 65, false, false, steady.windowsTick(), steady.us});
      } else {
        recorder.onMouseEvent(MouseEvent{1, static_cast<std::int32_t>(ms), 2, false, 0, steady.windowsTick(), steady.us});
      }
      if (state.recordedScript.size() > before) lines.push_back({ms, state.recordedScript.size()});
    }
    std::uint64_t revision = box.revision();
    windowThread.runPosted();
    if (box.revision() != revision) boxWrites.push_back({ms, box.text().size()});
    if (controls.status[0] != shown) {
      shown = controls.status[0];
      readouts.push_back(ms);
      EXPECT_EQ(shown, L"x=" + std::to_wstring(ms) + L"  y=1") << "the cursor as it is at the readout";
    }
  }
  std::uint32_t worstLag = 0;
  for (const Write& line : lines) {
    auto write = std::find_if(boxWrites.begin(), boxWrites.end(), [&](const Write& w) { return w.length >= line.length; });
    ASSERT_NE(write, boxWrites.end()) << "the line of " << line.ms << " ms never reached the box";
    worstLag = std::max(worstLag, write->ms - line.ms);
  }
  EXPECT_LE(worstLag, PacedUpdate::kPeriodMs);
  ASSERT_GE(lines.size(), 250u);
  EXPECT_EQ(box.text(), state.recordedScript) << "in order, none lost";
  ASSERT_GE(boxWrites.size(), 2u);
  EXPECT_EQ(boxWrites.front().ms, 7u) << "the first line after a quiet spell at once";
  for (std::size_t i = 1; i < boxWrites.size(); ++i) EXPECT_GE(boxWrites[i].ms - boxWrites[i - 1].ms, 100u) << i;
  for (std::size_t i = 1; i < readouts.size(); ++i) EXPECT_GE(readouts[i] - readouts[i - 1], 100u) << i;
  EXPECT_LE(readouts.size(), 21u);
  EXPECT_GE(readouts.size(), 19u);
}

TEST_F(RecorderTest, OwnInputIsNotRecorded) {
  startRecording();
  mouseAt(100, 2, 50, 50, /*own=*/true);
  placements.notePlacement(300, 400);
  mouseAt(200, 1, 300, 400);  // the placement's move: no marker, but ours
  mouseAt(300, 1, 300, 401);
  mouseAt(400, 1, 300, 400);  // the user moving back there later is theirs
  EXPECT_EQ(box.text(), L"300 3 1 300 401\r\n400 3 1 300 400\r\n");
}

TEST_F(RecorderTest, StalePlacementDoesNotSwallowTheUsersMove) {
  startRecording();
  placements.notePlacement(300, 400);
  mouseAt(1000, 1, 300, 400);
  EXPECT_EQ(box.text(), L"1000 3 1 300 400\r\n");
}

TEST_F(RecorderTest, LengthIsNeverShorterThanTheLastLine) {
  startRecording();
  keyAt(2000, 0, 65);
  EXPECT_EQ(recorder.lengthMs(state.recordStartTick + 1'990'000), 2000);
  EXPECT_EQ(recorder.lengthMs(state.recordStartTick + 2'500'700), 2500);
}

// Win and L go down and the session locks; their releases happen on the
// secure desktop, where the hooks see nothing. Two hours later the user
// unlocks and goes on.
TEST_F(RecorderTest, ALockReleasesWhatIsDownAndStopsTheClockUntilTheUnlock) {
  hooks.lost = 5;
  startRecording();
  mouseAt(50, 2, 7, 8);
  keyAt(100, 0, 0x5B);
  keyAt(150, 0, 'L');
  at(200);
  recorder.pauseRecording(steady.us);
  mouseAt(3000, 1, 9, 9);  // nothing of the secure desktop is recorded
  at(7'200'200);
  recorder.resumeRecording(steady.us);
  keyAt(500, 0, 'A');  // 300 ms after the unlock
  hooks.lost = 8;
  at(600);
  recorder.endRecording(steady.us);
  EXPECT_EQ(box.text(), L"50 3 2 7 8\r\n100 0 91 0 0\r\n150 0 76 0 0\r\n"
                        L"200 2 76 0 0\r\n200 2 91 0 0\r\n200 3 4 7 8\r\n"
                        L"500 0 65 0 0\r\n600 2 65 0 0\r\n");
  EXPECT_EQ(controls.status[1], L"共9条脚本,估计执行时间需要0.6秒,丢失3个输入事件!");
}

TEST(RecorderClockTest, ElapsedTimeIsWholeMillisecondsNeverBeforeTheStart) {
  EXPECT_EQ(elapsedBetween(100'000, 2'115'999), 2015);
  EXPECT_EQ(elapsedBetween(100'000, 100'999), 0);
  EXPECT_EQ(elapsedBetween(100'000, 97'000), 0);
  EXPECT_EQ(elapsedBetween(0, std::int64_t{INT32_MAX} * 1000 + 5000), INT32_MAX);
}

TEST(RecorderSensitivityTest, TakesTheLeadingNumber) {
  EXPECT_EQ(leadingNumber(L"10"), 10);
  EXPECT_EQ(leadingNumber(L"12.5ms"), 12.5);
  EXPECT_EQ(leadingNumber(L"-3"), -3);
  EXPECT_EQ(leadingNumber(L""), 0);
  EXPECT_EQ(leadingNumber(L"abc"), 0);
}

}  // namespace
