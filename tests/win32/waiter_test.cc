// The waiter's pauses, and the threads the runs play on.

#include "platform/win32/win32_waiter.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/win32/run_threads.h"
#include "support/stopwatch.h"

namespace {

using namespace std::chrono_literals;

TEST(Win32WaiterTest, WaitsUntilTheMomentAndNotAtAllForOneThatHasPassed) {
  Win32WaiterFactory factory;
  std::shared_ptr<Waiter> waiter = factory.makeWaiter();
  for (int i = 0; i < 3; ++i) {
    const std::int64_t due = waiter->nowUs() + 20'000;
    const double start = nowMs();
    EXPECT_EQ(waiter->waitUntil(due), WaitEnd::reached);
    EXPECT_GE(waiter->nowUs(), due);
    const double took = nowMs() - start;
    EXPECT_GE(took, 19.9);
    EXPECT_LT(took, 40.0);
  }
  const double start = nowMs();
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs()), WaitEnd::reached);
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() - 5'000), WaitEnd::reached);
  EXPECT_LT(nowMs() - start, 5.0);
  const double clockMs = static_cast<double>(waiter->nowUs()) / 1000;
  EXPECT_NEAR(clockMs - nowMs(), 0.0, 5.0) << "the waiter's clock is the performance counter";
}

// SetProcessInformation as three versions of Windows answer it: 8.1 knows
// no power throttling, 10 only the execution speed and refuses a call with a
// bit it does not know, 11 both.
struct ThrottlingSystem {
  static inline ULONG known = 0;
  static inline std::vector<ULONG> asked;
  static BOOL WINAPI set(HANDLE, PROCESS_INFORMATION_CLASS which, LPVOID data, DWORD size) {
    const auto* state = static_cast<const PROCESS_POWER_THROTTLING_STATE*>(data);
    if (which != ProcessPowerThrottling || size != sizeof *state) return FALSE;
    asked.push_back(state->ControlMask);
    return known != 0 && (state->ControlMask & ~known) == 0 && state->StateMask == 0;
  }
};

// The run's thread has a queue and no loop of its own: each wait takes what
// came before it, even one whose moment has passed, and what comes during it,
// and still lasts until its moment.
TEST(Win32WaiterTest, EveryWaitTakesTheThreadsMessagesBeforeAndDuringIt) {
  Win32WaiterFactory factory;
  std::shared_ptr<Waiter> waiter = factory.makeWaiter();
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  const DWORD self = GetCurrentThreadId();
  ASSERT_TRUE(PostThreadMessageW(self, WM_APP, 0, 0));
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() - 1'000), WaitEnd::reached);
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u) << "a wait whose moment has passed";

  std::thread poster([self] {
    Sleep(30);
    PostThreadMessageW(self, WM_APP, 1, 0);
  });
  const std::int64_t due = waiter->nowUs() + 100'000;
  EXPECT_EQ(waiter->waitUntil(due), WaitEnd::reached);
  EXPECT_GE(waiter->nowUs(), due);
  poster.join();
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) << "the message posted during the wait is left";
}

TEST(Win32WaiterTest, PowerThrottlingIsRefusedBitByBitExecutionSpeedFirst) {
  constexpr ULONG kSpeed = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
  constexpr ULONG kTimer = 0x4;  // PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION
  const struct {
    ULONG known;
    int accepted;
  } systems[] = {{0, 0}, {kSpeed, 1}, {kSpeed | kTimer, 2}};
  for (const auto& system : systems) {
    ThrottlingSystem::known = system.known;
    ThrottlingSystem::asked.clear();
    EXPECT_EQ(optOutOfPowerThrottling(&ThrottlingSystem::set), system.accepted) << system.known;
    EXPECT_EQ(ThrottlingSystem::asked, (std::vector<ULONG>{kSpeed, kTimer}));
  }
}

TEST(Win32RunThreadsTest, RunsPlayAboveNormalPriority) {
  Win32RunThreads threads;
  std::atomic<int> priority{THREAD_PRIORITY_ERROR_RETURN};
  threads.start([&] { priority = GetThreadPriority(GetCurrentThread()); });
  ASSERT_TRUE(threads.joinAll(5s));
  EXPECT_EQ(priority.load(), THREAD_PRIORITY_ABOVE_NORMAL);
}

TEST(Win32WaiterTest, InterruptEndsOneWaitAndCountsOnceWhenItComesBefore) {
  Win32WaiterFactory factory;
  std::shared_ptr<Waiter> waiter = factory.makeWaiter();
  std::thread interrupter([waiter] {
    Sleep(50);
    waiter->interrupt();
  });
  const double start = nowMs();
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() + 3'600'000'000), WaitEnd::interrupted);
  EXPECT_LT(nowMs() - start, 1000.0);
  interrupter.join();

  waiter->interrupt();
  waiter->interrupt();
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() + 3'600'000'000), WaitEnd::interrupted);
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() + 10'000), WaitEnd::reached) << "two interrupts before a wait are one";
}

TEST(Win32WaiterTest, CancelFromAnotherThreadEndsAnHourAtOnceAndEveryLaterPause) {
  Win32WaiterFactory factory;
  std::shared_ptr<Waiter> waiter = factory.makeWaiter();
  struct Outcome {
    std::atomic<bool> ended{false};
    std::atomic<bool> completed{false};
    std::atomic<double> endedAt{0.0};
  };
  auto outcome = std::make_shared<Outcome>();
  std::thread sleeper([waiter, outcome] {
    outcome->completed.store(waiter->waitUntil(waiter->nowUs() + 3'600'000'000) == WaitEnd::reached);
    outcome->endedAt.store(nowMs());
    outcome->ended.store(true);
  });
  Sleep(50);
  const double cancelledAt = nowMs();
  waiter->cancel();
  while (!outcome->ended.load() && nowMs() - cancelledAt < 2000.0) Sleep(1);
  if (!outcome->ended.load()) {
    sleeper.detach();  // it holds its own references; the process ends before the hour does
    FAIL() << "the pause went on after cancel()";
  }
  sleeper.join();
  EXPECT_FALSE(outcome->completed.load());
  EXPECT_LT(outcome->endedAt.load() - cancelledAt, 100.0);

  const double start = nowMs();
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs() + 20'000), WaitEnd::cancelled);
  waiter->interrupt();
  EXPECT_EQ(waiter->waitUntil(waiter->nowUs()), WaitEnd::cancelled);
  EXPECT_LT(nowMs() - start, 5.0);

  std::shared_ptr<Waiter> next = factory.makeWaiter();
  EXPECT_EQ(next->waitUntil(next->nowUs() + 1000), WaitEnd::reached) << "a new run's waiter starts uncancelled";
}

}  // namespace
