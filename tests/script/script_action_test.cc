#include "script/script_action.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

// Each action is executed when its lead before the due moment of 10 ms has
// come, as the player does; the log shows when each call was made.
class ScriptActionTest : public testing::Test {
 protected:
  CallLog execute(std::int32_t kind, std::int32_t code, MousePoint position,
                  std::optional<std::int32_t> extra = std::nullopt) {
    ScriptAction action;
    action.setKind(kind);
    action.setCode(code);
    action.setPosition(position);
    action.setExtra(extra);
    log.clear();
    waiters.nowUs = 10'000 - action.leadUs();
    wentOut = action.execute(input, *waiter, 10'000);
    completed = wentOut.has_value();
    return log;
  }

  CallLog log;
  FakeWaiterFactory waiters;
  FakeInputInjector input{log, &waiters.nowUs};
  std::shared_ptr<Waiter> waiter = waiters.makeWaiter();
  bool completed = false;
  std::optional<std::int64_t> wentOut;
};

TEST_F(ScriptActionTest, MoveOnlyPlacesTheCursorAtItsMoment) {
  EXPECT_EQ(execute(3, 1, {100, 200}), (CallLog{"10ms mouse 32768 0 0", "10ms cursor 100 200"}));
  EXPECT_TRUE(completed);
}

TEST_F(ScriptActionTest, ButtonLandsOnItsMomentTwoMillisecondsAfterThePlacement) {
  EXPECT_EQ(execute(3, 2, {100, 200}), (CallLog{"8ms mouse 32768 0 0", "8ms cursor 100 200", "10ms mouse 2 100 200"}));
  EXPECT_EQ(execute(3, 0, {-1280, 200}),
            (CallLog{"8ms mouse 32768 0 0", "8ms cursor -1280 200", "10ms mouse 0 -1280 200"}));
  EXPECT_EQ(execute(3, 2048, {5, 6}), (CallLog{"8ms mouse 32768 0 0", "8ms cursor 5 6", "10ms mouse 2048 5 6"}));
  EXPECT_EQ(execute(3, 2048, {5, 6}, -120),
            (CallLog{"8ms mouse 32768 0 0", "8ms cursor 5 6", "10ms mouse 2048 5 6 data=-120"}));
  EXPECT_EQ(execute(3, 256, {5, 6}, 2), (CallLog{"8ms mouse 32768 0 0", "8ms cursor 5 6", "10ms mouse 256 5 6 data=2"}));
}

TEST_F(ScriptActionTest, SlowPlacementStillLeavesTwoMillisecondsBeforeTheButton) {
  input.costUs = 1500;
  EXPECT_EQ(execute(3, 8, {1, 2}), (CallLog{"8ms mouse 32768 0 0", "9.5ms cursor 1 2", "11ms mouse 8 1 2"}))
      << "the button waits for its moment, not for the end of the placement";
  input.costUs = 0;
  waiters.at(9, [&] { waiter->interrupt(); });
  EXPECT_EQ(execute(3, 8, {1, 2}), (CallLog{"8ms mouse 32768 0 0", "8ms cursor 1 2", "10ms mouse 8 1 2"}))
      << "an edit of the script does not cut a click in half";
  waiters.at(9, [&] { waiter->cancel(); });
  EXPECT_EQ(execute(3, 8, {1, 2}), (CallLog{"8ms mouse 32768 0 0", "8ms cursor 1 2"}));
  EXPECT_FALSE(completed);
}

TEST_F(ScriptActionTest, EveryOtherKindIsOneKeyEvent) {
  EXPECT_EQ(execute(2, 65, {7, 9}), (CallLog{"10ms key 65 2"}));
  EXPECT_EQ(execute(0, 65, {}), (CallLog{"10ms key 65 0"}));
  EXPECT_EQ(execute(-1, 16, {}), (CallLog{"10ms key 16 -1"}));
  EXPECT_EQ(execute(4, 16, {}), (CallLog{"10ms key 16 4"}));
  EXPECT_EQ(execute(0, 13, {}, 1), (CallLog{"10ms key 13 0 ext=1"}));
  EXPECT_EQ(execute(2, 36, {}, 0), (CallLog{"10ms key 36 2 ext=0"}));
  EXPECT_EQ(execute(2, 36, {}, -7), (CallLog{"10ms key 36 2 ext=1"}));
  ScriptAction blank;
  log.clear();
  blank.execute(input, *waiter, 0);
  EXPECT_EQ(log, (CallLog{"10ms key 0 0"}));
}

TEST_F(ScriptActionTest, CopiesShareNothing) {
  ScriptAction source;
  source.setTime(1532);
  source.setKind(3);
  source.setCode(1);
  source.setPosition({640, 480});
  source.setExtra(5);
  ScriptAction copy = source;
  copy.setPosition({1, 2});
  copy.setTime(9);
  copy.setExtra(std::nullopt);
  EXPECT_EQ(source.extra(), 5);
  EXPECT_EQ(source.position(), (MousePoint{640, 480}));
  EXPECT_EQ(source.time(), 1532);
  EXPECT_EQ(copy.kind(), 3);
  EXPECT_EQ(copy.code(), 1);
}

}  // namespace
