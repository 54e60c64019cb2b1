// The player with real input, a real script box and real pauses: what it
// types and clicks arrives in Wine's windows. Runs under Wine on the display
// of tests/wine/with_display.sh.

#include "script/player.h"

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
#include "platform/win32/win32_waiter.h"
#include "platform/win32/window_system.h"
#include "platform/win32/window_thread.h"
#include "support/wine_desktop.h"
#include "support/stopwatch.h"

namespace {

using namespace std::chrono_literals;

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
    ASSERT_TRUE(bringToFront(window_, target_, clientToScreen(window_, {100, 22})));
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
