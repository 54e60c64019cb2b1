#include "platform/win32/window_thread.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/stopwatch.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

// Delayed tasks come in the order they are due, not before, and not held
// back by a steady stream of posted tasks (WM_TIMER comes only when the queue
// holds nothing else); those left when the helper goes never run.
TEST(Win32WindowThreadTest, DelayedTasksRunWhenDueEvenUnderAStreamOfPosts) {
  struct Ran {
    std::string name;
    double afterMs;
  };
  std::vector<Ran> ran;
  int posted = 0;
  bool leftOverRan = false;
  {
    Win32WindowThread windowThread;
    const double start = nowMs();
    auto note = [&](const char* name) { return [&ran, &start, name] { ran.push_back({name, nowMs() - start}); }; };
    windowThread.postAfter(60ms, note("a"));
    windowThread.postAfter(20ms, note("b"));
    windowThread.postAfter(20ms, note("c"));
    windowThread.postAfter(0ms, note("now"));
    windowThread.postAfter(5s, [&] { leftOverRan = true; });
    std::function<void()> stream = [&] {
      ++posted;
      if (nowMs() - start < 200) windowThread.post(stream);
    };
    windowThread.post(stream);
    pumpFor(300ms);
  }
  pumpFor(50ms);
  ASSERT_EQ(ran.size(), 4u);
  EXPECT_EQ(ran[0].name + ran[1].name + ran[2].name + ran[3].name, "nowbca");
  EXPECT_GE(ran[1].afterMs, 19.0);  // the tick clock's own resolution
  EXPECT_LE(ran[2].afterMs, 20.0 + 80);
  EXPECT_GE(ran[3].afterMs, 59.0);
  EXPECT_LE(ran[3].afterMs, 60.0 + 80);
  EXPECT_GT(posted, 20) << "the stream went on meanwhile";
  EXPECT_FALSE(leftOverRan);
}

}  // namespace
