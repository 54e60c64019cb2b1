// The waiter's pauses, and the player with real input, a real script box and
// real pauses: what it types and clicks arrives in Wine's windows. Runs under
// Wine on the display of tests/wine/with_display.sh.

#include "platform/win32/win32_waiter.h"

#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/edit_script_box.h"
#include "platform/win32/input_desktop.h"
#include "platform/win32/input_injector.h"
#include "platform/win32/run_threads.h"
#include "platform/win32/window_system.h"
#include "platform/win32/window_thread.h"
#include "script/player.h"
#include "support/wine_desktop.h"
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

// The check boxes all off, so that the player makes one pass. The errors are
// read once the player's thread has been joined.
class RecordingControls : public Controls {
 public:
  bool isChecked(CheckBox) override { return false; }
  void uncheck(CheckBox) override {}
  void showError(const std::wstring& text) override { errors.push_back(text); }
  void setStatusText(StatusPanel, const std::wstring&) override {}
  std::wstring sensitivityText() override { return L""; }
  void setTimerPeriod(std::int32_t) override {}
  void minimiseWindow() override {}

  std::vector<std::wstring> errors;
};

struct Click {
  UINT message = 0;
  POINT at{};
};

// A visible window in the foreground with a focused edit for the keys, a pad
// that records the clicks it gets, and the script edit, the pointer over the
// window. The player runs on a thread of its own while this thread pumps
// messages, which the script box's reads need. The window lives as long as
// the suite: Wine takes 2 s to destroy a window when there is no window
// manager.
class Win32PlayerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { createWindow(); }
  static void TearDownTestSuite() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(window_, nullptr);
    SetWindowTextW(target_, L"");
    clicks_.clear();
    ASSERT_EQ(xdotool(L"search --sync --onlyvisible --name ^" + title() + L"$ windowfocus --sync"), 0);
    ASSERT_TRUE(movePointer(clientToScreen(window_, {100, 22})));
    SetForegroundWindow(window_);
    SetFocus(target_);
    ASSERT_TRUE(pumpUntil([] { return GetForegroundWindow() == window_ && GetFocus() == target_; }))
        << "foreground " << GetForegroundWindow() << ", focus " << GetFocus();
  }

  void TearDown() override {
    if (thread_.joinable()) {
      player_.stop();
      pumpUntil([this] { return ended_.load(); });
      thread_.join();
    }
  }

  void startPlaying(const std::wstring& script) {
    box_.setText(script);
    ScriptPlayer::Run run = player_.beginRun();
    thread_ = std::thread([this, run] {
      player_.playScript(run);
      endedAt_.store(nowMs());
      ended_.store(true);
    });
  }

  // Pumps until the run has ended; false when it took longer than the timeout.
  bool waitForTheEnd(std::chrono::milliseconds timeout = 10s) {
    const bool ended = pumpUntil([this] { return ended_.load() && playing_.load() == 0; }, timeout);
    if (ended) thread_.join();
    return ended;
  }

  static std::wstring title() { return L"tamsik-player-test-" + std::to_wstring(GetCurrentProcessId()); }

  static void createWindow() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    static const bool registered = [instance] {
      WNDCLASSW window{};
      window.lpfnWndProc = DefWindowProcW;
      window.hInstance = instance;
      window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      window.lpszClassName = L"TamsikPlayerTestWindow";
      WNDCLASSW pad = window;
      pad.lpfnWndProc = recordClicks;
      pad.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      pad.lpszClassName = L"TamsikPlayerTestPad";
      return RegisterClassW(&window) != 0 && RegisterClassW(&pad) != 0;
    }();
    if (!registered) return;
    window_ = CreateWindowExW(0, L"TamsikPlayerTestWindow", title().c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200,
                              150, 480, 360, nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) return;
    target_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24,
                              window_, nullptr, instance, nullptr);
    pad_ = CreateWindowExW(0, L"TamsikPlayerTestPad", L"", WS_CHILD | WS_VISIBLE, 260, 10, 120, 80, window_, nullptr,
                           instance, nullptr);
    scriptEdit_ = createScriptEdit(window_, 100, 10, 100, 300, 200);
    if (target_ == nullptr || pad_ == nullptr || scriptEdit_ == nullptr) {
      DestroyWindow(window_);
      window_ = nullptr;
    }
  }

  static LRESULT CALLBACK recordClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
      clicks_.push_back({message, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}});
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  // Waits for Wine to see the move: xdotool's own --sync would wait forever
  // when the pointer is there already.
  static bool movePointer(POINT to) {
    if (xdotool(L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y)) != 0) return false;
    return pumpUntil([to] {
      POINT at{};
      return GetCursorPos(&at) && at.x == to.x && at.y == to.y;
    });
  }

  static POINT clientToScreen(HWND window, POINT point) {
    ClientToScreen(window, &point);
    return point;
  }

  static bool shiftHeld() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

  static inline HWND window_ = nullptr;
  static inline HWND target_ = nullptr;
  static inline HWND pad_ = nullptr;
  static inline HWND scriptEdit_ = nullptr;
  static inline std::vector<Click> clicks_;

  std::atomic<std::int32_t> playing_{0};
  Win32WindowThread windowThread_;
  EditScriptBox box_{scriptEdit_};
  PublishedScript script_{box_, windowThread_};
  std::atomic<bool> loop_{false};
  RecordingControls controls_;
  Win32InputInjector injector_;
  Win32WaiterFactory waiters_;
  DesktopGate gate_;
  Win32InputDesktop inputDesktop_;
  Win32WindowSystem windows_;
  ScriptPlayer player_{playing_, script_, loop_, controls_, injector_, waiters_, {gate_, inputDesktop_, windows_}};
  std::thread thread_;
  std::atomic<bool> ended_{false};
  std::atomic<double> endedAt_{0.0};
};

TEST_F(Win32PlayerTest, KeyLinesTypeIntoTheFocusedEdit) {
  std::wstring script;
  std::int32_t stamp = 10;
  for (wchar_t key : std::wstring(L"HELLO")) {
    script += std::to_wstring(stamp) + L" 0 " + std::to_wstring(key) + L" 0 0\r\n";
    script += std::to_wstring(stamp + 5) + L" 2 " + std::to_wstring(key) + L" 0 0\r\n";
    stamp += 15;
  }
  startPlaying(script);
  ASSERT_TRUE(waitForTheEnd());
  EXPECT_TRUE(pumpUntil([] { return windowText(target_) == L"hello"; }, 2s))
      << "the edit shows " << testing::PrintToString(windowText(target_));
  EXPECT_TRUE(controls_.errors.empty());
}

TEST_F(Win32PlayerTest, StopEndsALongPauseAtOnceAndReleasesTheHeldKey) {
  ASSERT_FALSE(shiftHeld());
  startPlaying(L"10 0 16 0 0\r\n600010 2 16 0 0\r\n");
  ASSERT_TRUE(pumpUntil([] { return shiftHeld(); })) << "the run did not press Shift";
  ASSERT_FALSE(ended_.load());

  const double stoppedAt = nowMs();
  player_.stop();
  ASSERT_TRUE(waitForTheEnd(2s));
  EXPECT_LT(endedAt_.load() - stoppedAt, 100.0);
  EXPECT_FALSE(shiftHeld());
  EXPECT_EQ(playing_.load(), 0);
}

TEST_F(Win32PlayerTest, EditDuringALongPauseTakesEffectAtOnce) {
  startPlaying(L"10 0 72 0 0\r\n15 2 72 0 0\r\n600000 0 73 0 0\r\n600005 2 73 0 0\r\n");
  ASSERT_TRUE(pumpUntil([] { return windowText(target_) == L"h"; }, 2s));
  pumpFor(100ms);
  // The user types a new third line into the box while the run waits for it.
  SendMessageW(scriptEdit_, EM_SETSEL, 26, 58);
  SendMessageW(scriptEdit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"100 0 74 0 0\r\n105 2 74 0 0"));
  ASSERT_EQ(box_.text(), L"10 0 72 0 0\r\n15 2 72 0 0\r\n100 0 74 0 0\r\n105 2 74 0 0\r\n");
  EXPECT_TRUE(waitForTheEnd(2s)) << "the run still waits for the old line";
  EXPECT_EQ(windowText(target_), L"hj");
}

TEST_F(Win32PlayerTest, MouseLinesClickAtTheirPoint) {
  const POINT inPad{37, 21};
  const POINT onScreen = clientToScreen(pad_, inPad);
  const std::wstring at = std::to_wstring(onScreen.x) + L" " + std::to_wstring(onScreen.y);
  startPlaying(L"10 3 2 " + at + L"\r\n20 3 4 " + at + L"\r\n");
  ASSERT_TRUE(waitForTheEnd());
  pumpUntil([] { return clicks_.size() >= 2; }, 2s);
  ASSERT_EQ(clicks_.size(), 2u);
  EXPECT_EQ(clicks_[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(clicks_[1].message, static_cast<UINT>(WM_LBUTTONUP));
  for (const Click& click : clicks_) {
    EXPECT_EQ(click.at.x, inPad.x);
    EXPECT_EQ(click.at.y, inPad.y);
  }
}

}  // namespace
