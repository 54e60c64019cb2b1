#include "input/hook_watchdog.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class NullListener : public InputListener {
 public:
  void onKey(const KeyEvent&) override {}
  void onMouse(const MouseEvent&) override {}
};

// The hooks were installed at tick 100000 and have reported events since.
class HookWatchdogTest : public testing::Test {
 protected:
  void SetUp() override { hooks.install(listener); }

  // One check at tick now, with the last input and the last hook event.
  bool checkAt(std::uint32_t now, std::uint32_t input, std::uint32_t heard) {
    clock.now = now;
    lastInput.tick = input;
    hooks.lastEvent = heard;
    return watchdog.check();
  }

  FakeClock clock;  // 100000
  FakeInputHooks hooks;
  FakeLastInput lastInput;
  NullListener listener;
  HookWatchdog watchdog{hooks, listener, lastInput, clock};
};

TEST_F(HookWatchdogTest, WorkingHooksAreLeftAlone) {
  EXPECT_FALSE(checkAt(101000, 100900, 100900));
  EXPECT_FALSE(checkAt(200000, 199990, 199990));
  EXPECT_FALSE(checkAt(300000, 250000, 250000)) << "no input for a long while is no sign";
  EXPECT_FALSE(checkAt(310000, 309000, 306500)) << "a hook event 2.5 s before the last input";
  EXPECT_EQ(hooks.calls, (CallLog{"install"}));
}

TEST_F(HookWatchdogTest, InputThatTheHooksMissedForSecondsInstallsThemAgain) {
  EXPECT_FALSE(checkAt(110000, 105000, 105000));
  EXPECT_FALSE(checkAt(111000, 108000, 105000)) << "silent for 3 s: not yet";
  EXPECT_TRUE(checkAt(112000, 108001, 105000));
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install"}));
  EXPECT_EQ(hooks.listener, &listener);
}

TEST_F(HookWatchdogTest, NewHooksGetTimeToShowThatTheyWork) {
  ASSERT_TRUE(checkAt(120000, 119000, 110000));
  // Input keeps coming and the hooks stay silent: once more after 3 s, not
  // at every check.
  EXPECT_FALSE(checkAt(121000, 120900, 110000));
  EXPECT_FALSE(checkAt(123000, 122900, 110000));
  EXPECT_TRUE(checkAt(124000, 123001, 110000));
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install", "install"}));
}

TEST_F(HookWatchdogTest, HooksThatNeverReportedCountFromTheStart) {
  EXPECT_FALSE(checkAt(102000, 102000, 0));
  EXPECT_TRUE(checkAt(104000, 103001, 0));
}

TEST_F(HookWatchdogTest, CountsAcrossTheTickWrap) {
  clock.now = 0xFFFFF000u;
  HookWatchdog wrapped{hooks, listener, lastInput, clock};
  hooks.lastEvent = 0xFFFFF800u;
  lastInput.tick = 0x00000300u;  // 2816 ms later, past the wrap
  clock.now = 0x00000400u;
  EXPECT_FALSE(wrapped.check());
  lastInput.tick = 0x00000400u;  // 3072 ms
  EXPECT_TRUE(wrapped.check());
  hooks.lastEvent = 0x00000450u;
  lastInput.tick = 0x00000500u;
  clock.now = 0x00000600u;
  EXPECT_FALSE(wrapped.check());
}

}  // namespace
