#include "input/hook_watchdog.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

class NullListener : public InputListener {
 public:
  void onKey(const KeyEvent&) override {}
  void onMouse(const MouseEvent&) override {}
};

// From..to in ms, the end left out.
struct Span {
  std::uint32_t from = 0;
  std::uint32_t to = 0;
  bool holds(std::uint32_t t) const { return t >= from && t < to; }
};

bool within(const std::vector<Span>& spans, std::uint32_t t) {
  for (const Span& span : spans) {
    if (span.holds(t)) return true;
  }
  return false;
}

bool startsAt(const std::vector<Span>& spans, std::uint32_t t) {
  for (const Span& span : spans) {
    if (span.from == t) return true;
  }
  return false;
}

// Thirty seconds of a desktop, in steps of 100 ms, with a look of the
// watchdog every second, as Windows behaves: a hook it has dropped hears
// nothing until it is installed again; the keyboard's own activity and the
// last-input tick see every key, also one the hooks miss.
struct Timeline {
  const char* name;
  std::vector<Span> moves;           // the user moves the mouse, every step
  std::vector<std::uint32_t> keys;   // the user presses a key
  std::uint32_t keyboardLostAt = 0;  // 0: never
  std::uint32_t mouseLostAt = 0;
  bool mouseLostAgain = false;     // the mouse hook hears nothing even when new
  std::vector<Span> placements;    // another program puts the cursor somewhere: no input
  std::vector<Span> runs;          // the player places the cursor every step and presses a key every 500 ms
  std::vector<Span> elevated;      // a window above ours is in front: the hooks miss keys that reach it
  // The secure desktop has the input: the user moves the mouse there, which
  // the hooks do not see, and the cursor cannot be read.
  std::vector<Span> secureDesktop;
  // Another program injects a move that it stamps 4 s ahead; the hooks hear it.
  std::vector<std::uint32_t> futureStamps;
  std::vector<std::uint32_t> reinstalls;  // the looks at which the hooks are installed again
};

void PrintTo(const Timeline& line, std::ostream* out) { *out << line.name; }

std::vector<std::uint32_t> every(std::uint32_t from, std::uint32_t to, std::uint32_t step) {
  std::vector<std::uint32_t> ticks;
  for (std::uint32_t t = from; t < to; t += step) ticks.push_back(t);
  return ticks;
}

std::vector<Timeline> timelines() {
  return {
      {.name = "both hooks working", .moves = {{0, 30000}}, .keys = every(200, 30000, 500)},
      {.name = "keyboard hook lost while the mouse moves: noticed at the look after the next key",
       .moves = {{0, 30000}},
       .keys = {5000, 20100, 25000},
       .keyboardLostAt = 10000,
       .reinstalls = {21000}},
      {.name = "mouse hook lost while keys are typed: noticed when the mouse moves",
       .moves = {{2000, 3000}, {20000, 22000}},
       .keys = every(200, 30000, 500),
       .mouseLostAt = 10000,
       .reinstalls = {20000}},
      {.name = "mouse hook lost, the mouse still: keys are no mouse input",
       .keys = every(200, 30000, 500),
       .mouseLostAt = 1000},
      {.name = "cursor placed by another program, no input",
       .keys = {500},
       .mouseLostAt = 1000,
       .placements = {{2000, 30000}}},
      {.name = "a run places the cursor and presses keys: no hook event for the placements",
       .runs = {{1000, 30000}}},
      {.name = "keys into an elevated window in front",
       .moves = {{0, 30000}},
       .keys = every(200, 30000, 500),
       .elevated = {{5000, 15000}}},
      {.name = "an elevated window in front between two looks",
       .moves = {{0, 30000}},
       .keys = {3000, 5700, 12500},
       .elevated = {{5600, 5900}, {12100, 12800}}},
      {.name = "the secure desktop has the input for a while",
       .moves = {{0, 3000}},
       .keys = {1000, 12000},
       .secureDesktop = {{5000, 8500}}},
      {.name = "input stamped ahead of the clock", .futureStamps = every(3000, 30000, 3000)},
      {.name = "a hook that keeps missing input is installed again every 3 s, not at every look",
       .moves = {{5000, 30000}},
       .mouseLostAt = 100,
       .mouseLostAgain = true,
       .reinstalls = {5000, 8000, 11000, 14000, 17000, 20000, 23000, 26000, 29000}},
  };
}

class HookWatchdogTest : public testing::TestWithParam<Timeline> {
 protected:
  static constexpr std::uint32_t kStart = 0xFFFFA000u;  // the tick clock wraps during the timeline

  std::vector<std::uint32_t> play(const Timeline& line) {
    clock.now = kStart;
    HookWatchdog watchdog{hooks, listener, {keyboard, lastInput, cursor}, clock};
    watchdog.installHooks();
    bool keyboardAlive = true;
    bool mouseAlive = true;
    std::vector<std::uint32_t> reinstalls;
    for (std::uint32_t t = 0; t <= 30000; t += 100) {
      const std::uint32_t tick = kStart + t;
      clock.now = tick;
      if (t == line.keyboardLostAt && t != 0) keyboardAlive = false;
      if (t == line.mouseLostAt && t != 0) mouseAlive = false;
      const bool running = within(line.runs, t);
      const bool secure = within(line.secureDesktop, t);
      cursor.readable = !secure;
      if (startsAt(line.elevated, t)) watchdog.noteInputHidden();  // as the foreground changes
      if (within(line.moves, t) || within(line.placements, t) || running || secure) {
        cursor.position.x += 1;
        if (!within(line.placements, t)) lastInput.tick = tick;  // a placement may count as input, at worst
        if (within(line.moves, t) && mouseAlive) hooks.lastEvent[1] = tick;
      }
      if (std::find(line.futureStamps.begin(), line.futureStamps.end(), t) != line.futureStamps.end()) {
        cursor.position.y += 1;
        lastInput.tick = tick + 4000;
        if (mouseAlive) hooks.lastEvent[1] = tick;
      }
      const bool keyNow = std::find(line.keys.begin(), line.keys.end(), t) != line.keys.end();
      if (keyNow || (running && t % 500 == 0)) {
        keyboard.tick = lastInput.tick = tick;
        if (keyboardAlive && !within(line.elevated, t)) hooks.lastEvent[0] = tick;
      }
      if (t % 1000 == 0 && t > 0 &&
          watchdog.check({.inputHiddenFromHooks = within(line.elevated, t), .playerPlacesCursor = running})) {
        reinstalls.push_back(t);
        keyboardAlive = true;
        mouseAlive = !line.mouseLostAgain;
      }
    }
    return reinstalls;
  }

  FakeClock clock;
  FakeInputHooks hooks;
  FakeKeyboardActivity keyboard;
  FakeLastInput lastInput;
  FakeCursor cursor;
  NullListener listener;
};

TEST_P(HookWatchdogTest, InstallsTheHooksAgainOnlyWhenOneMissedItsDevicesInput) {
  const Timeline& line = GetParam();
  EXPECT_EQ(play(line), line.reinstalls) << line.name;
  EXPECT_EQ(hooks.calls.size(), 1 + line.reinstalls.size()) << line.name;
  EXPECT_EQ(hooks.listener, &listener);
}

INSTANTIATE_TEST_SUITE_P(Timelines, HookWatchdogTest, testing::ValuesIn(timelines()));

TEST(HookWatchdogReinstallTest, ReinstallsAtOnceAndCountsInputFromThen) {
  FakeClock clock;
  FakeInputHooks hooks;
  FakeKeyboardActivity keyboard;
  FakeLastInput lastInput;
  FakeCursor cursor;
  NullListener listener;
  HookWatchdog watchdog{hooks, listener, {keyboard, lastInput, cursor}, clock};
  watchdog.installHooks();
  keyboard.tick = lastInput.tick = clock.now + 10;  // a key the keyboard hook missed, before the resume
  clock.now += 500;
  watchdog.reinstall();
  clock.now += 1000;
  EXPECT_FALSE(watchdog.check({}));
  EXPECT_EQ(hooks.calls, (CallLog{"install", "install"}));
}

}  // namespace
