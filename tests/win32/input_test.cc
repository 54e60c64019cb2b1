// The hooks and the injector against real input: X events made with xdotool
// (Wine starts Linux programs directly) and SendInput. Runs under Wine on the
// display of tests/wine/with_display.sh, whose prefix lets X focus move Wine's
// foreground window.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "input/hook_watchdog.h"
#include "platform/win32/device_activity.h"
#include "platform/win32/handles.h"
#include "platform/win32/input_hooks.h"
#include "platform/win32/input_injector.h"
#include "platform/win32/system.h"
#include "platform/win32/window_system.h"
#include "platform/input_contract.h"
#include "support/wine_desktop.h"

// Readable event logs in failure messages.
static void PrintTo(const KeyEvent& event, std::ostream* out) {
  *out << "{transition " << event.transition << ", vk 0x" << std::hex << event.vk << std::dec
       << (event.extended ? ", extended" : "") << (event.ownInput ? ", own}" : "}");
}
static void PrintTo(const MouseEvent& event, std::ostream* out) {
  *out << "{code 0x" << std::hex << event.code << std::dec << " at " << event.x << "," << event.y << ", data "
       << event.data << (event.ownInput ? ", own}" : "}");
}

namespace {

using namespace std::chrono_literals;

// The real hooks on their thread and the real injection.
struct Win32InputFactory {
  InputHooks& hooks() { return realHooks; }
  InputInjector& injector() { return realInjector; }
  // What was injected comes back through the hook thread and this thread's
  // messages.
  void settle(const std::function<bool()>& cameBack) {
    waitUntil("what was injected to come back through the hooks", cameBack);
    pumpFor(100ms);
  }

  Win32InputHooks realHooks;
  Win32InputInjector realInjector;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, InputContract, Win32InputFactory);

namespace {

// Keeps the events with their time stamps apart, so that whole events compare.
class RecordingListener : public InputListener {
 public:
  void onKey(const KeyEvent& event) override {
    times.push_back(event.time);
    moments.push_back(event.atUs);
    keys.push_back(event);
    keys.back().time = 0;
    keys.back().atUs = 0;
  }
  void onMouse(const MouseEvent& event) override {
    times.push_back(event.time);
    moments.push_back(event.atUs);
    mice.push_back(event);
    mice.back().time = 0;
    mice.back().atUs = 0;
  }

  std::vector<MouseEvent> buttons() const {
    std::vector<MouseEvent> result;
    for (const MouseEvent& event : mice) {
      if (event.code != mouse_code::kMove) result.push_back(event);
    }
    return result;
  }
  void clear() {
    keys.clear();
    mice.clear();
    times.clear();
    moments.clear();
  }

  std::vector<KeyEvent> keys;
  std::vector<MouseEvent> mice;
  std::vector<std::uint32_t> times;
  std::vector<std::int64_t> moments;
};

// The numbers that F24 events carry in their time field.
class NumberedKeys : public InputListener {
 public:
  void onKey(const KeyEvent& event) override {
    if (event.vk == VK_F24) numbers.push_back(event.time);
  }
  void onMouse(const MouseEvent&) override {}
  std::vector<std::uint32_t> numbers;
};

// F24 pressed and released by turns, each event numbered from `first` in its
// time field, which reaches the hooks unchanged.
void sendNumberedKeys(int count, std::uint32_t first) {
  for (int i = 0; i < count; ++i) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_F24;
    input.ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    input.ki.time = first + static_cast<std::uint32_t>(i);
    SendInput(1, &input, sizeof input);
  }
}

// A key message as the focused window gets it.
struct KeyMessage {
  UINT message = 0;
  WPARAM vk = 0;
  int scanCode = 0;
  bool extended = false;

  friend bool operator==(const KeyMessage&, const KeyMessage&) = default;
};

void PrintTo(const KeyMessage& key, std::ostream* out) {
  *out << "{" << (key.message == WM_KEYDOWN ? "down" : key.message == WM_KEYUP ? "up" : "other") << ", vk 0x"
       << std::hex << key.vk << ", scan 0x" << key.scanCode << std::dec << (key.extended ? ", extended}" : "}");
}

// A visible window in the foreground with a focused, empty edit control, the
// pointer over it, and the hooks installed on this thread. The window lives
// as long as the suite: Wine takes 2 s to destroy a window when there is no
// window manager.
class Win32InputTest : public ::testing::Test {
 protected:
  static void TearDownTestSuite() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }

  void SetUp() override {
    if (window_ == nullptr) {
      ASSERT_NO_FATAL_FAILURE(createWindow());
    }
    SetWindowTextW(edit_, L"");

    ASSERT_TRUE(bringToFront(window_, edit_, clientToScreen(window_, {300, 200})));

    ASSERT_TRUE(hooks_.install(listener_));
    pumpFor(100ms);
    listener_.clear();
    keyMessages_.clear();
  }

  void TearDown() override { hooks_.remove(); }

  static std::wstring title() { return L"tamsik-input-test-" + std::to_wstring(GetCurrentProcessId()); }

  static void createWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = L"TamsikInputTestWindow";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(windowClass, 0);
    window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), title().c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200,
                              150, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24,
                            window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit_, nullptr);
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordKeyMessages)));
  }

  static LRESULT CALLBACK recordKeyMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
      keyMessages_.push_back({message, wParam, static_cast<int>((lParam >> 16) & 0xFF), ((lParam >> 24) & 1) != 0});
    }
    return CallWindowProcW(editProc_, window, message, wParam, lParam);
  }

  static inline HWND window_ = nullptr;
  static inline HWND edit_ = nullptr;
  static inline WNDPROC editProc_ = nullptr;
  static inline std::vector<KeyMessage> keyMessages_;
  RecordingListener listener_;
  Win32InputHooks hooks_;
  Win32InputInjector injector_;
};

TEST_F(Win32InputTest, XKeyReachesTheListenerAsPressThenRelease) {
  ASSERT_EQ(xdotool(L"key a"), 0);
  pumpUntil([this] { return listener_.keys.size() >= 2 && windowText(edit_) == L"a"; });
  pumpFor(100ms);
  EXPECT_EQ(listener_.keys, (std::vector<KeyEvent>{{kKeyPress, 'A', false}, {kKeyRelease, 'A', false}}));
  EXPECT_EQ(windowText(edit_), L"a") << "the hook must pass the key on";
}

TEST_F(Win32InputTest, EventsCarryTheSystemsStampAndTheMomentTheHookGotThem) {
  const DWORD before = GetTickCount();
  const std::int64_t beforeUs = steadyNowUs();
  ASSERT_EQ(xdotool(L"key b"), 0);
  injector_.injectKeyEvent('C', kKeyPress, std::nullopt);
  injector_.injectKeyEvent('C', kKeyRelease, std::nullopt);
  pumpUntil([this] { return listener_.keys.size() >= 4; });
  const DWORD after = GetTickCount();
  const std::int64_t afterUs = steadyNowUs();
  ASSERT_EQ(listener_.times.size(), 4u);
  for (std::uint32_t time : listener_.times) {
    EXPECT_LE(time - before, after - before) << "stamp " << time << " outside " << before << ".." << after;
  }
  EXPECT_LE(listener_.times[0], listener_.times[1]);
  EXPECT_TRUE(std::is_sorted(listener_.moments.begin(), listener_.moments.end()));
  EXPECT_GE(listener_.moments.front(), beforeUs);
  EXPECT_LE(listener_.moments.back(), afterUs);
}

TEST_F(Win32InputTest, XNumericPadEnterIsTheExtendedEnter) {
  ASSERT_EQ(xdotool(L"key KP_Enter Return"), 0);
  pumpUntil([this] { return listener_.keys.size() >= 4; });
  pumpFor(100ms);
  EXPECT_EQ(listener_.keys, (std::vector<KeyEvent>{{kKeyPress, VK_RETURN, false, true},
                                                  {kKeyRelease, VK_RETURN, false, true},
                                                  {kKeyPress, VK_RETURN, false, false},
                                                  {kKeyRelease, VK_RETURN, false, false}}));
}

TEST_F(Win32InputTest, InjectedKeyTakesAnExtendedFlagOfItsOwn) {
  injector_.injectKeyEvent(VK_RETURN, kKeyPress, true);
  injector_.injectKeyEvent(VK_RETURN, kKeyRelease, true);
  injector_.injectKeyEvent(VK_HOME, kKeyPress, false);
  injector_.injectKeyEvent(VK_HOME, kKeyRelease, false);
  injector_.injectKeyEvent(VK_HOME, kKeyPress, std::nullopt);
  injector_.injectKeyEvent(VK_HOME, kKeyRelease, std::nullopt);
  pumpUntil([this] { return listener_.keys.size() >= 6; });
  pumpFor(100ms);
  EXPECT_EQ(listener_.keys, (std::vector<KeyEvent>{{kKeyPress, VK_RETURN, true, true},
                                                  {kKeyRelease, VK_RETURN, true, true},
                                                  {kKeyPress, VK_HOME, true, false},
                                                  {kKeyRelease, VK_HOME, true, false},
                                                  {kKeyPress, VK_HOME, true, true},
                                                  {kKeyRelease, VK_HOME, true, true}}));
  ASSERT_EQ(keyMessages_.size(), 6u);
  EXPECT_TRUE(keyMessages_[0].extended) << "the focused window gets numeric-pad Enter";
  EXPECT_FALSE(keyMessages_[2].extended);
  EXPECT_TRUE(keyMessages_[4].extended);
}

TEST_F(Win32InputTest, WheelsAndSideButtonsCarryTheirDataBothWays) {
  const POINT point = clientToScreen(window_, {250, 120});
  ASSERT_TRUE(movePointer(point));
  pumpFor(100ms);
  listener_.clear();
  // xdotool's buttons 4 and 5 turn the wheel up and down, 8 and 9 are the
  // side buttons.
  ASSERT_EQ(xdotool(L"click 4 click 5 click 8 click 9"), 0);
  pumpUntil([this] { return listener_.buttons().size() >= 6; });
  pumpFor(100ms);
  const std::vector<MouseEvent> fromX{{mouse_code::kWheel, point.x, point.y, false, 120},
                                      {mouse_code::kWheel, point.x, point.y, false, -120},
                                      {mouse_code::kXDown, point.x, point.y, false, 1},
                                      {mouse_code::kXUp, point.x, point.y, false, 1},
                                      {mouse_code::kXDown, point.x, point.y, false, 2},
                                      {mouse_code::kXUp, point.x, point.y, false, 2}};
  EXPECT_EQ(listener_.buttons(), fromX);

  listener_.clear();
  for (const MouseEvent& event : fromX) injector_.injectMouseEvent(event.code, 0, 0, event.data);
  injector_.injectMouseEvent(mouse_code::kHWheel, 0, 0, -240);
  pumpUntil([this] { return listener_.buttons().size() >= 7; });
  pumpFor(100ms);
  std::vector<MouseEvent> injected = fromX;
  injected.push_back({mouse_code::kHWheel, point.x, point.y, false, -240});
  for (MouseEvent& event : injected) event.ownInput = true;
  EXPECT_EQ(listener_.buttons(), injected);
}

TEST_F(Win32InputTest, XClickReachesTheListenerAtThePointOnTheScreen) {
  const POINT point = clientToScreen(window_, {250, 120});
  ASSERT_EQ(xdotool(mouseMove(point) + L" click 1"), 0);
  pumpUntil([this] { return listener_.buttons().size() >= 2; });
  pumpFor(100ms);
  EXPECT_EQ(listener_.buttons(), (std::vector<MouseEvent>{{mouse_code::kLeftDown, point.x, point.y, false},
                                                          {mouse_code::kLeftUp, point.x, point.y, false}}));
  ASSERT_FALSE(listener_.mice.empty());
  EXPECT_EQ(listener_.mice.front(), (MouseEvent{mouse_code::kMove, point.x, point.y, false}));
}

// What the hooks' watchdog relies on: each hook's own tick, and the
// keyboard's raw input seen no later than the keyboard hook was called.
TEST_F(Win32InputTest, EachHookAndTheKeyboardsOwnActivityTellTheDevicesApart) {
  Win32KeyboardActivity keyboard;
  ASSERT_TRUE(keyboard.listening());
  pumpFor(100ms);
  const std::uint32_t keyHeard = hooks_.lastEventTick(InputDevice::keyboard);
  const DWORD moved = GetTickCount();
  ASSERT_TRUE(movePointer(clientToScreen(window_, {250, 120})));
  pumpFor(100ms);
  EXPECT_GE(static_cast<std::int32_t>(hooks_.lastEventTick(InputDevice::mouse) - moved), 0);
  EXPECT_EQ(hooks_.lastEventTick(InputDevice::keyboard), keyHeard);
  EXPECT_EQ(keyboard.lastKeyTick(), 0u) << "a move is no key";

  const DWORD typed = GetTickCount();
  ASSERT_EQ(xdotool(L"key d"), 0);
  injector_.injectKeyEvent('E', kKeyPress, std::nullopt);
  injector_.injectKeyEvent('E', kKeyRelease, std::nullopt);
  ASSERT_TRUE(pumpUntil([&] { return listener_.keys.size() >= 4 && windowText(edit_) == L"de"; }));
  pumpFor(100ms);
  const std::uint32_t seen = keyboard.lastKeyTick();
  const std::uint32_t heard = hooks_.lastEventTick(InputDevice::keyboard);
  EXPECT_GE(static_cast<std::int32_t>(seen - typed), 0) << "seen " << seen << ", typed from " << typed;
  EXPECT_LE(static_cast<std::int32_t>(seen - heard), static_cast<std::int32_t>(HookWatchdog::kHookLagMs))
      << "seen " << seen << ", heard " << heard;
}

TEST_F(Win32InputTest, NoWindowRunsAboveUsWhereThereAreNoIntegrityLevels) {
  Win32IntegrityLevels levels;
  EXPECT_FALSE(levels.isAboveOurs(0));
  EXPECT_FALSE(levels.isAboveOurs(toWindowHandle(window_)));
  EXPECT_FALSE(levels.isAboveOurs(toWindowHandle(GetDesktopWindow())));
  EXPECT_FALSE(levels.isAboveOurs(toWindowHandle(GetShellWindow())));
}

TEST_F(Win32InputTest, InjectedKeyTypesIntoTheEditAndIsMarkedOwn) {
  EXPECT_TRUE(injector_.injectKeyEvent('H', kKeyPress, std::nullopt)) << "the system took the event";
  EXPECT_TRUE(injector_.injectKeyEvent('H', kKeyRelease, std::nullopt));
  EXPECT_TRUE(pumpUntil([this] { return windowText(edit_) == L"h"; }))
      << "the edit shows " << testing::PrintToString(windowText(edit_));
  waitUntil("the key's release to reach the hook and the edit",
            [this] { return listener_.keys.size() >= 2 && keyMessages_.size() >= 2; });
  pumpFor(100ms);
  EXPECT_EQ(listener_.keys, (std::vector<KeyEvent>{{kKeyPress, 'H', true}, {kKeyRelease, 'H', true}}));
  EXPECT_EQ(keyMessages_, (std::vector<KeyMessage>{{WM_KEYDOWN, 'H', 0x23, false}, {WM_KEYUP, 'H', 0x23, false}}));
}

TEST_F(Win32InputTest, InjectedMouseEventsAreMarkedOwn) {
  const POINT point = clientToScreen(window_, {260, 130});
  injector_.setCursorPos(point.x, point.y);
  // Wine reports the placement itself as a plain move, without the marker.
  ASSERT_TRUE(pumpUntil([point] {
    POINT at{};
    return GetCursorPos(&at) && at.x == point.x && at.y == point.y;
  }));
  pumpFor(100ms);
  listener_.clear();

  // Relative moves of more than 6 pixels come out doubled, as with the
  // default mouse acceleration of Windows; this one stays below that.
  injector_.injectMouseEvent(mouse_code::kMove, 5, -4, 0);
  injector_.injectMouseEvent(mouse_code::kLeftDown, 0, 0, 0);
  injector_.injectMouseEvent(mouse_code::kLeftUp, 0, 0, 0);
  injector_.injectMouseEvent(mouse_code::kRightDown, 0, 0, 0);
  injector_.injectMouseEvent(mouse_code::kRightUp, 0, 0, 0);
  // (400, 300) on the 1280x1024 screen.
  injector_.injectMouseEvent(mouse_code::kMove | mouse_code::kAbsolute, 400 * 65536 / 1280, 300 * 65536 / 1024, 0);
  pumpUntil([this] { return listener_.mice.size() >= 6; });
  pumpFor(200ms);
  const int x = point.x + 5;
  const int y = point.y - 4;
  EXPECT_EQ(listener_.mice, (std::vector<MouseEvent>{{mouse_code::kMove, x, y, true},
                                                    {mouse_code::kLeftDown, x, y, true},
                                                    {mouse_code::kLeftUp, x, y, true},
                                                    {mouse_code::kRightDown, x, y, true},
                                                    {mouse_code::kRightUp, x, y, true},
                                                    {mouse_code::kMove, 400, 300, true}}));
}

// Each wake of the window thread costs more than a move: a stream of moves is
// handed over in batches, and a key behind it still comes in order.
TEST_F(Win32InputTest, AStreamOfMovesIsHandedOverInBatches) {
  const POINT start = clientToScreen(window_, {100, 100});
  ASSERT_TRUE(movePointer(start));
  pumpFor(100ms);
  listener_.clear();
  const std::uint64_t handOversBefore = hooks_.handOvers();
  constexpr int kMoves = 40;
  for (int i = 0; i < kMoves; ++i) {
    injector_.injectMouseEvent(mouse_code::kMove, 1, 0, 0);
    // 2 ms apart on any system tick, the window thread taking its messages.
    for (const std::int64_t until = steadyNowUs() + 2000; steadyNowUs() < until;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
  }
  injector_.injectKeyEvent(VK_F13, kKeyPress, std::nullopt);
  injector_.injectKeyEvent(VK_F13, kKeyRelease, std::nullopt);
  ASSERT_TRUE(waitUntil("the moves and the key", [this] {
    return listener_.mice.size() >= kMoves && listener_.keys.size() >= 2;
  }));
  pumpFor(100ms);
  ASSERT_EQ(listener_.mice.size(), static_cast<std::size_t>(kMoves));
  EXPECT_EQ(listener_.mice.back(), (MouseEvent{mouse_code::kMove, start.x + kMoves, start.y, true}));
  EXPECT_TRUE(std::is_sorted(listener_.moments.begin(), listener_.moments.end())) << "out of order";
  EXPECT_LE(hooks_.handOvers() - handOversBefore, kMoves / 3u) << "80 ms of moves in batches of "
                                                    << Win32InputHooks::kMoveBatchMs << " ms";
}

// While the window thread takes no messages, the ring fills; moves stop a
// quarter before its end, so that keys still find room. What it refuses is
// counted, and the rest comes in order once the thread takes messages again.
TEST_F(Win32InputTest, AFullRingRefusesMovesFirstAndCountsWhatItLoses) {
  hooks_.remove();
  Win32InputHooks small(16);
  RecordingListener listener;
  ASSERT_TRUE(small.install(listener));
  pumpFor(100ms);
  listener.clear();
  for (int i = 0; i < 20; ++i) injector_.injectMouseEvent(mouse_code::kMove, 1, 0, 0);
  sendNumberedKeys(6, 1);
  // Without taking messages: the hook thread answers the injections itself.
  for (const DWORD until = GetTickCount() + 5000; static_cast<int>(until - GetTickCount()) > 0;) {
    const Win32InputHooks::Lost lost = small.lostByKind();
    if (lost.moves + lost.keysAndButtons >= 10) break;
    Sleep(10);
  }
  ASSERT_TRUE(listener.mice.empty() && listener.keys.empty()) << "the window thread took no message";
  pumpUntil([&] { return listener.keys.size() >= 4; });
  pumpFor(100ms);
  EXPECT_EQ(small.lostByKind().moves, 8u);
  EXPECT_EQ(small.lostByKind().keysAndButtons, 2u);
  EXPECT_EQ(listener.mice.size(), 12u);
  EXPECT_EQ(listener.times.back(), 4u) << "the first four keys, the last of them numbered 4";
  EXPECT_EQ(listener.keys, (std::vector<KeyEvent>{{kKeyPress, VK_F24, false},
                                                 {kKeyRelease, VK_F24, false},
                                                 {kKeyPress, VK_F24, false},
                                                 {kKeyRelease, VK_F24, false}}));
}

// Installs the hooks again and again while each of the senders sends events
// numbered keys of its own (the first from 1, the next from events + 1, and
// so on), in batches that each wait for another installation, so that they
// interleave however loaded the machine is; beforeEach comes before each
// installation. The number of installations; nothing when one failed.
std::optional<int> installAgainWhileKeysCome(InputHooks& hooks, NumberedKeys& numbered, int senders, int events,
                                             const std::function<void()>& beforeEach = [] {}) {
  std::atomic<int> sending{senders};
  std::atomic<int> installs{0};
  std::atomic<bool> installed{true};
  std::vector<std::thread> threads;
  for (int sender = 0; sender < senders; ++sender) {
    threads.emplace_back([&, first = sender * events + 1] {
      for (int i = 0; i < events; i += 10) {
        for (const int seen = installs.load(); installs.load() == seen && installed.load();) Sleep(0);
        sendNumberedKeys(10, static_cast<std::uint32_t>(first + i));
      }
      --sending;
    });
  }
  while (sending > 0 && installed) {
    beforeEach();
    installed = hooks.install(numbered);
    ++installs;
    pumpPending();
  }
  for (std::thread& thread : threads) thread.join();
  return installed ? std::optional<int>(installs) : std::nullopt;
}

// Installing again while keys come: the new pair goes in before the old one
// comes out, and each event reaches the listener exactly once.
TEST_F(Win32InputTest, InstallingAgainWhileKeysComeLosesNoneAndDoublesNone) {
  hooks_.remove();
  NumberedKeys numbered;
  ASSERT_TRUE(hooks_.install(numbered));
  constexpr int kEvents = 1000;
  const std::optional<int> installs = installAgainWhileKeysCome(hooks_, numbered, 1, kEvents);
  ASSERT_TRUE(installs) << "an installation failed";
  waitUntil("every key to come", [&] { return numbered.numbers.size() >= kEvents; });
  pumpFor(200ms);
  std::vector<std::uint32_t> expected(kEvents);
  for (int i = 0; i < kEvents; ++i) expected[i] = static_cast<std::uint32_t>(i + 1);
  std::size_t missing = 0;
  for (std::uint32_t number : expected) {
    missing += std::count(numbered.numbers.begin(), numbered.numbers.end(), number) == 0;
  }
  std::printf("%d installations during %d key events: %zu heard, %zu missing\n", *installs, kEvents,
              numbered.numbers.size(), missing);
  EXPECT_GE(*installs, 20) << "too few installations to tell anything";
  EXPECT_EQ(numbered.numbers, expected);
}

// A third party's low-level keyboard hook on a thread of its own, which hands
// each F24 on only after a moment, one event after another. Hooked again, it
// goes in at the head of the chain.
class SlowKeyboardHook {
 public:
  SlowKeyboardHook() : thread_([this] { run(); }) { WaitForSingleObject(hooked_.get(), INFINITE); }
  ~SlowKeyboardHook() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  void hookAgain() {
    PostThreadMessageW(threadId_, WM_APP, 0, 0);
    WaitForSingleObject(hooked_.get(), INFINITE);
  }

 private:
  static LRESULT CALLBACK procedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F24) Sleep(1);
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void run() {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    HHOOK hook = nullptr;
    do {
      if (hook) UnhookWindowsHookEx(hook);
      hook = SetWindowsHookExW(WH_KEYBOARD_LL, procedure, GetModuleHandleW(nullptr), 0);
      SetEvent(hooked_.get());
    } while (GetMessageW(&message, nullptr, 0, 0) > 0);
    UnhookWindowsHookEx(hook);
  }

  KernelHandle hooked_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  DWORD threadId_ = 0;
  std::thread thread_;
};

// The slow hook between the pair in and the new one: while the new pair's
// hand-on of an event waits for it, others come in on top, and the event then
// reaches the old pair from inside their calls; events it held before the new
// pair went in reach the old pair alone, which stays in meanwhile.
TEST_F(Win32InputTest, InstallingAgainPastASlowHookOfAnotherThreadLosesNoneAndDoublesNone) {
  hooks_.remove();
  NumberedKeys numbered;
  ASSERT_TRUE(hooks_.install(numbered));
  SlowKeyboardHook slow;
  constexpr int kEvents = 200;
  const std::optional<int> installs =
      installAgainWhileKeysCome(hooks_, numbered, 2, kEvents, [&] { slow.hookAgain(); });
  ASSERT_TRUE(installs) << "an installation failed";
  waitUntil("every key to come", [&] { return numbered.numbers.size() >= 2 * kEvents; });
  pumpFor(300ms);
  std::printf("slow hook: %zu of %d keys heard during %d installations\n", numbered.numbers.size(), 2 * kEvents,
              *installs);
  std::sort(numbered.numbers.begin(), numbered.numbers.end());
  std::vector<std::uint32_t> expected(2 * kEvents);
  for (int i = 0; i < 2 * kEvents; ++i) expected[i] = static_cast<std::uint32_t>(i + 1);
  EXPECT_EQ(numbered.numbers, expected);
}

TEST_F(Win32InputTest, InjectedExtendedKeyWithShiftSelectsInTheEdit) {
  SetWindowTextW(edit_, L"abc");
  SendMessageW(edit_, EM_SETSEL, 3, 3);
  constexpr int kLeftShift = 0xA0;
  constexpr int kLeft = 0x25;
  injector_.injectKeyEvent(kLeftShift, kKeyPress, std::nullopt);
  for (int i = 0; i < 2; ++i) {
    injector_.injectKeyEvent(kLeft, kKeyPress, std::nullopt);
    injector_.injectKeyEvent(kLeft, kKeyRelease, std::nullopt);
  }
  injector_.injectKeyEvent(kLeftShift, kKeyRelease, std::nullopt);
  pumpUntil([this] { return listener_.keys.size() >= 6; });
  pumpFor(100ms);

  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(keyMessages_, (std::vector<KeyMessage>{{WM_KEYDOWN, VK_SHIFT, 0x2A, false},
                                                   {WM_KEYDOWN, VK_LEFT, 0x4B, true},
                                                   {WM_KEYUP, VK_LEFT, 0x4B, true},
                                                   {WM_KEYDOWN, VK_LEFT, 0x4B, true},
                                                   {WM_KEYUP, VK_LEFT, 0x4B, true},
                                                   {WM_KEYUP, VK_SHIFT, 0x2A, false}}));
  EXPECT_EQ(listener_.keys, (std::vector<KeyEvent>{{kKeyPress, kLeftShift, true},
                                                  {kKeyPress, kLeft, true, true},
                                                  {kKeyRelease, kLeft, true, true},
                                                  {kKeyPress, kLeft, true, true},
                                                  {kKeyRelease, kLeft, true, true},
                                                  {kKeyRelease, kLeftShift, true}}));
}

}  // namespace
