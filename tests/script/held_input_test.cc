#include "script/held_input.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class HeldInputTest : public testing::Test {
 protected:
  CallLog releases() {
    log.clear();
    held.releaseAll();
    return log;
  }

  CallLog log;
  FakeInputInjector inner{log};
  HeldInput held{inner};
};

TEST_F(HeldInputTest, ReleasesWhatIsStillDownLastPressedFirst) {
  held.injectKeyEvent(0x10, 0);  // Shift
  held.injectKeyEvent(0x11, 0);  // Ctrl
  held.injectMouseEvent(2, 10, 20);
  held.injectKeyEvent(0x41, 0);
  held.injectKeyEvent(0x41, 2);
  EXPECT_EQ(releases(), (CallLog{"mouse 4 0 0", "key 17 2", "key 16 2"}));
  EXPECT_EQ(releases(), CallLog{}) << "released once only";
}

TEST_F(HeldInputTest, RepeatedPressesNeedOneRelease) {
  held.injectKeyEvent(0x10, 0);
  held.injectKeyEvent(0x10, 0);
  held.injectKeyEvent(0x10, 5);  // any transition but 2 presses
  EXPECT_EQ(releases(), (CallLog{"key 16 2"}));
}

TEST_F(HeldInputTest, TracksEachMouseButton) {
  held.injectMouseEvent(8, 0, 0);       // right down
  held.injectMouseEvent(32, 0, 0);      // middle down
  held.injectMouseEvent(2 | 4, 0, 0);   // left down and up at once
  held.injectMouseEvent(16, 0, 0);      // right up
  held.injectMouseEvent(32768, 0, 0);   // absolute flag alone
  EXPECT_EQ(releases(), (CallLog{"mouse 64 0 0"}));
}

TEST_F(HeldInputTest, PassesEverythingOnUnchanged) {
  held.injectKeyEvent(0x41, 0);
  held.setCursorPos(-5, 7);
  held.injectMouseEvent(1, 3, 4);
  EXPECT_EQ(log, (CallLog{"key 65 0", "cursor -5 7", "mouse 1 3 4"}));
}

}  // namespace
