#include "script/script_action.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class ScriptActionTest : public testing::Test {
 protected:
  CallLog execute(std::int32_t kind, std::int32_t code, MousePoint position) {
    ScriptAction action;
    action.setKind(kind);
    action.setCode(code);
    action.setPosition(position);
    log.clear();
    action.execute(input, *waiter);
    return log;
  }

  CallLog log;
  FakeInputInjector input{log};
  FakeWaiterFactory waiters{log};
  std::shared_ptr<Waiter> waiter = waiters.makeWaiter();
};

TEST_F(ScriptActionTest, MoveOnlyPlacesTheCursor) {
  EXPECT_EQ(execute(3, 1, {100, 200}), (CallLog{"mouse 32768 0 0", "cursor 100 200"}));
}

TEST_F(ScriptActionTest, ButtonFollowsTwoMillisecondsAfterThePlacement) {
  EXPECT_EQ(execute(3, 2, {100, 200}), (CallLog{"mouse 32768 0 0", "cursor 100 200", "sleep 2", "mouse 2 100 200"}));
  EXPECT_EQ(execute(3, 0, {-1280, 200}),
            (CallLog{"mouse 32768 0 0", "cursor -1280 200", "sleep 2", "mouse 0 -1280 200"}));
  EXPECT_EQ(execute(3, 2048, {5, 6}), (CallLog{"mouse 32768 0 0", "cursor 5 6", "sleep 2", "mouse 2048 5 6"}));
}

TEST_F(ScriptActionTest, EveryOtherKindIsOneKeyEvent) {
  EXPECT_EQ(execute(2, 65, {7, 9}), (CallLog{"key 65 2"}));
  EXPECT_EQ(execute(0, 65, {}), (CallLog{"key 65 0"}));
  EXPECT_EQ(execute(-1, 16, {}), (CallLog{"key 16 -1"}));
  EXPECT_EQ(execute(4, 16, {}), (CallLog{"key 16 4"}));
  ScriptAction blank;
  log.clear();
  blank.execute(input, *waiter);
  EXPECT_EQ(log, (CallLog{"key 0 0"}));
}

TEST_F(ScriptActionTest, CopiesShareNothing) {
  ScriptAction source;
  source.setTime(1532);
  source.setKind(3);
  source.setCode(1);
  source.setPosition({640, 480});
  ScriptAction copy = source;
  copy.setPosition({1, 2});
  copy.setTime(9);
  EXPECT_EQ(source.position(), (MousePoint{640, 480}));
  EXPECT_EQ(source.time(), 1532);
  EXPECT_EQ(copy.kind(), 3);
  EXPECT_EQ(copy.code(), 1);
}

}  // namespace
