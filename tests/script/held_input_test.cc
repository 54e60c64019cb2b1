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
  held.injectKeyEvent(0x10, 0, std::nullopt);  // Shift
  held.injectKeyEvent(0x11, 0, std::nullopt);  // Ctrl
  held.injectMouseEvent(2, 10, 20, 0);
  held.injectKeyEvent(0x41, 0, std::nullopt);
  held.injectKeyEvent(0x41, 2, std::nullopt);
  EXPECT_EQ(releases(), (CallLog{"mouse 4 0 0", "key 17 2", "key 16 2"}));
  EXPECT_EQ(releases(), CallLog{}) << "released once only";
}

TEST_F(HeldInputTest, RepeatedPressesNeedOneRelease) {
  held.injectKeyEvent(0x10, 0, std::nullopt);
  held.injectKeyEvent(0x10, 0, std::nullopt);
  held.injectKeyEvent(0x10, 5, std::nullopt);  // any transition but 2 presses
  EXPECT_EQ(releases(), (CallLog{"key 16 2"}));
}

TEST_F(HeldInputTest, KeyIsReleasedAsItWasPressed) {
  held.injectKeyEvent(0x0D, 0, true);   // numeric-pad Enter
  held.injectKeyEvent(0x24, 0, false);  // numeric-pad Home, NumLock off
  held.injectKeyEvent(0x26, 0, std::nullopt);
  held.injectKeyEvent(0x26, 2, true);  // the same key, whatever its flag
  EXPECT_EQ(releases(), (CallLog{"key 36 2 ext=0", "key 13 2 ext=1"}));
}

TEST_F(HeldInputTest, TracksEachMouseButton) {
  held.injectMouseEvent(8, 0, 0, 0);        // right down
  held.injectMouseEvent(32, 0, 0, 0);       // middle down
  held.injectMouseEvent(2 | 4, 0, 0, 0);    // left down and up at once
  held.injectMouseEvent(16, 0, 0, 0);       // right up
  held.injectMouseEvent(32768, 0, 0, 0);    // absolute flag alone
  held.injectMouseEvent(2048, 0, 0, -120);  // a wheel turn holds nothing
  EXPECT_EQ(releases(), (CallLog{"mouse 64 0 0"}));
}

TEST_F(HeldInputTest, TracksEachSideButtonByItsNumber) {
  held.injectMouseEvent(128, 0, 0, 1);
  held.injectMouseEvent(128, 0, 0, 2);
  held.injectMouseEvent(256, 0, 0, 1);
  held.injectMouseEvent(128, 5, 5, 2);  // pressed again: one release
  EXPECT_EQ(releases(), (CallLog{"mouse 256 0 0 data=2"}));
}

TEST_F(HeldInputTest, APressTheSystemRefusedHoldsNothingAndARefusedReleaseStaysHeld) {
  held.injectKeyEvent(0x10, 0, std::nullopt);
  EXPECT_FALSE(held.takeRefusal());
  inner.refusing = true;
  EXPECT_FALSE(held.injectKeyEvent(0x11, 0, std::nullopt));
  EXPECT_FALSE(held.injectMouseEvent(2, 0, 0, 0));
  EXPECT_TRUE(held.takeRefusal());
  EXPECT_FALSE(held.takeRefusal()) << "told once";
  EXPECT_FALSE(held.injectKeyEvent(0x10, 2, std::nullopt));
  EXPECT_EQ(releases(), (CallLog{"key 16 2 refused"}));
  inner.refusing = false;
  EXPECT_EQ(releases(), (CallLog{"key 16 2"})) << "sent again";
  EXPECT_EQ(releases(), CallLog{});
}

TEST_F(HeldInputTest, ARunThatOutlivedTheCloseReleasesWhatItPressesAtOnce) {
  held.injectKeyEvent(0x10, 0, std::nullopt);
  log.clear();
  held.releaseForGood();
  held.injectKeyEvent(0x41, 0, std::nullopt);
  held.injectMouseEvent(8, 0, 0, 0);
  EXPECT_EQ(log, (CallLog{"key 16 2", "key 65 0", "key 65 2", "mouse 8 0 0", "mouse 16 0 0"}));
}

TEST_F(HeldInputTest, PassesEverythingOnUnchanged) {
  held.injectKeyEvent(0x41, 0, true);
  held.setCursorPos(-5, 7);
  held.injectMouseEvent(1, 3, 4, 9);
  EXPECT_EQ(log, (CallLog{"key 65 0 ext=1", "cursor -5 7", "mouse 1 3 4 data=9"}));
}

}  // namespace
