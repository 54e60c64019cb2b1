#include "app/shell_presence.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class ShellPresenceTest : public testing::Test {
 protected:
  CallLog log;
  FakeNotificationArea area{log};
  FakeSessionNotifications sessions{log};
  ShellPresence shell{area, sessions};
};

// At login the shell may start after the program: TaskbarCreated has come
// and gone, so only asking again brings the icon.
TEST_F(ShellPresenceTest, IconAndNotificationsRefusedAtLoginComeWithTheRetries) {
  area.up = false;
  sessions.up = false;
  shell.start(L"tip");
  EXPECT_EQ(log, (CallLog{"add", "modify", "subscribe refused"}));
  EXPECT_TRUE(shell.missing());
  EXPECT_TRUE(shell.retry());
  area.up = true;
  log.clear();
  EXPECT_TRUE(shell.retry()) << "the session services are not up yet";
  EXPECT_EQ(log, (CallLog{"add", "subscribe refused"}));
  EXPECT_TRUE(area.hasIcon);
  EXPECT_EQ(area.shownTip, L"tip");
  sessions.up = true;
  log.clear();
  EXPECT_FALSE(shell.retry());
  EXPECT_FALSE(shell.retry());
  EXPECT_EQ(log, (CallLog{"subscribe"}));
  shell.stop();
  EXPECT_EQ(log, (CallLog{"subscribe", "remove", "unsubscribe"}));
}

// While a recording or a run lasts, the idle timer applies the icon every
// second; the shell hears of it only when something changed.
TEST_F(ShellPresenceTest, OnlyAChangedIconOrTipReachesTheShell) {
  shell.start(L"tip");
  log.clear();
  for (int tick = 0; tick < 3; ++tick) shell.apply(nullptr);
  shell.apply(L"tip");
  EXPECT_EQ(log, CallLog{});
  shell.apply(L"other");
  shell.imageChanged();
  EXPECT_EQ(log, (CallLog{"modify", "modify"}));
  EXPECT_EQ(area.shownTip, L"other");
}

TEST_F(ShellPresenceTest, ANewTaskbarHasTheIconOnceWhetherItLostItOrNot) {
  shell.start(L"tip");
  struct Case {
    bool lost;
    CallLog calls;
  };
  for (const Case& c : {Case{true, {"add"}}, Case{false, {"add", "modify"}}}) {
    if (c.lost) area.restart();
    log.clear();
    shell.taskbarCreated();
    EXPECT_EQ(log, c.calls) << c.lost;
    EXPECT_TRUE(area.hasIcon);
    EXPECT_FALSE(shell.missing());
  }
}

// A shell that restarted and has not yet said so refuses the modify of a
// change: the icon is added, and is not left missing.
TEST_F(ShellPresenceTest, AChangeTheShellRefusesAddsTheIconOrWaitsForTheShell) {
  shell.start(L"tip");
  area.restart();
  log.clear();
  shell.apply(L"other");
  EXPECT_EQ(log, (CallLog{"modify", "add"}));
  EXPECT_EQ(area.shownTip, L"other");
  area.up = false;
  area.restart();
  shell.imageChanged();
  EXPECT_TRUE(shell.missing());
  area.up = true;
  EXPECT_FALSE(shell.retry());
  EXPECT_TRUE(area.hasIcon);
}

TEST_F(ShellPresenceTest, StopEndsOnlyWhatWasThere) {
  area.up = false;
  sessions.up = false;
  shell.start(L"tip");
  log.clear();
  shell.stop();
  EXPECT_EQ(log, CallLog{});
  EXPECT_FALSE(shell.missing());
  EXPECT_FALSE(shell.retry()) << "nothing is asked for after the stop";
  EXPECT_EQ(log, CallLog{});
}

}  // namespace
