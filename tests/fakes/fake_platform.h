#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "input/hook_codes.h"
#include "platform/controls.h"
#include "platform/device_activity.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/run_threads.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/waiter.h"
#include "platform/window_thread.h"

// The calls that the fakes below received, in order, one text each, so that
// a test compares a whole sequence in one assertion.
using CallLog = std::vector<std::string>;

// Hooks that record their installation and let a test deliver events.
class FakeInputHooks : public InputHooks {
 public:
  bool install(InputListener& listener) override {
    calls.push_back("install");
    this->listener = &listener;
    return true;
  }
  void remove() override {
    calls.push_back("remove");
    listener = nullptr;
  }
  std::uint32_t lastEventTick(InputDevice device) override { return lastEvent[static_cast<int>(device)]; }
  std::uint64_t lostEvents() override { return lost; }

  CallLog calls;
  InputListener* listener = nullptr;
  std::uint32_t lastEvent[2] = {0, 0};  // keyboard, mouse
  std::uint64_t lost = 0;
};

class FakeClock : public TickClock {
 public:
  std::uint32_t tickMs() override { return now; }
  std::uint32_t now = 100000;
};

// Runs posted tasks when the test says, as the window thread would once it
// is done with the message at hand; or at once, with runAtOnce. Delayed tasks
// wait for the clock's tick to reach their moment, as on the window thread's
// timer; with runAtOnce they too run at once, as if the thread were idle and
// the time had passed.
class FakeWindowThread : public WindowThread {
 public:
  explicit FakeWindowThread(FakeClock* clock = nullptr) : clock_(clock) {}

  void post(std::function<void()> task) override {
    if (runAtOnce) {
      task();
      return;
    }
    tasks.push_back(std::move(task));
  }
  void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
    if (runAtOnce || delay.count() <= 0) {
      post(std::move(task));
      return;
    }
    delayed.push_back({nowMs() + static_cast<std::uint32_t>(delay.count()), std::move(task)});
  }
  // Runs what was posted, and what that posts in turn, and the delayed tasks
  // that are due by the clock, earliest first.
  void runPosted() {
    for (;;) {
      while (!tasks.empty()) {
        std::vector<std::function<void()>> now;
        now.swap(tasks);
        for (auto& task : now) task();
      }
      auto due = std::min_element(delayed.begin(), delayed.end(), [this](const Delayed& a, const Delayed& b) {
        return left(a) < left(b);
      });
      if (due == delayed.end() || left(*due) > 0) return;
      std::function<void()> task = std::move(due->task);
      delayed.erase(due);
      task();
    }
  }
  // Milliseconds until the earliest delayed task, if there is one.
  std::optional<std::int32_t> nextDelay() const {
    std::optional<std::int32_t> next;
    for (const Delayed& d : delayed) next = std::min(next.value_or(INT32_MAX), left(d));
    return next;
  }

  struct Delayed {
    std::uint32_t dueMs;
    std::function<void()> task;
  };
  bool runAtOnce = true;
  std::vector<std::function<void()>> tasks;
  std::vector<Delayed> delayed;

 private:
  std::uint32_t nowMs() const { return clock_ ? clock_->now : 0; }
  std::int32_t left(const Delayed& d) const { return static_cast<std::int32_t>(d.dueMs - nowMs()); }

  FakeClock* clock_;
};

class FakeLastInput : public LastInputClock {
 public:
  std::uint32_t lastInputTick() override { return tick; }
  std::uint32_t tick = 0;
};

class FakeKeyboardActivity : public KeyboardActivity {
 public:
  std::uint32_t lastKeyTick() override { return tick; }
  std::uint32_t tick = 0;
};

// Integrity levels by the RID of the mandatory label, per window. kDenied is
// a process or token that the system will not open for us: OpenProcess and
// OpenProcessToken refuse a process of another account (one elevated with
// another administrator's password) or the system's own, which counts as
// above ours.
class FakeIntegrityLevels : public IntegrityLevels {
 public:
  static constexpr std::uint32_t kMedium = 0x2000;
  static constexpr std::uint32_t kHigh = 0x3000;
  static constexpr std::uint32_t kSystem = 0x4000;
  static constexpr std::uint32_t kDenied = 0xFFFFFFFF;

  bool isAboveOurs(WindowHandle window) override {
    auto found = levels.find(window);
    return window != 0 && found != levels.end() && found->second > own;
  }

  std::uint32_t own = kMedium;
  std::map<WindowHandle, std::uint32_t> levels;  // windows not listed run at no level: not above
};

// The input desktop as Windows switches it: to Winlogon's secure desktop while
// the session is locked or a UAC prompt or Ctrl+Alt+Del is up, when every
// injection is refused.
class FakeInputDesktop : public InputDesktop {
 public:
  bool isOurs() override { return ours; }
  bool ours = true;
};

// The processes of the machine, and the claims of its sessions: a claim
// stays with the first name that asks in a session, as a named mutex does.
class FakeProcesses : public Processes {
 public:
  std::vector<RunningProcess> runningProcesses() override { return running; }
  std::uint32_t ownSession() override { return session; }
  std::wstring ownExecutableName() override { return own; }
  InstanceClaim claimInstance(const std::wstring& executableName) override {
    if (claimFails) return InstanceClaim::unavailable;
    return claims.insert({session, executableName}).second ? InstanceClaim::claimed : InstanceClaim::heldByAnother;
  }
  void bringRunningCopyForward() override { ++broughtForward; }

  std::vector<RunningProcess> running{{L"TAMSIK.EXE", 1}};
  std::uint32_t session = 1;
  std::wstring own = L"TAMSIK.EXE";
  std::set<std::pair<std::uint32_t, std::wstring>> claims;
  bool claimFails = false;
  int broughtForward = 0;
};

// The notification area as Windows keeps it: while the shell starts (or
// has stopped), add and modify both fail; once it is up, an add fails for an
// icon it has and a modify for one it has not. A restart of the shell loses
// the icon.
class FakeNotificationArea : public NotificationArea {
 public:
  explicit FakeNotificationArea(CallLog& log) : log_(log) {}
  bool add(const std::wstring& tip) override {
    log_.push_back("add");
    if (!up || hasIcon) return false;
    hasIcon = true;
    shownTip = tip;
    return true;
  }
  bool modify(const std::wstring& tip) override {
    log_.push_back("modify");
    if (!up || !hasIcon) return false;
    shownTip = tip;
    return true;
  }
  bool remove() override {
    log_.push_back("remove");
    const bool had = up && hasIcon;
    hasIcon = false;
    return had;
  }
  void restart() { hasIcon = false; }

  bool up = true;
  bool hasIcon = false;
  std::wstring shownTip;

 private:
  CallLog& log_;
};

// Before the session services are up, a subscription fails, as
// WTSRegisterSessionNotification does with RPC_S_INVALID_BINDING.
class FakeSessionNotifications : public SessionNotifications {
 public:
  explicit FakeSessionNotifications(CallLog& log) : log_(log) {}
  bool subscribe() override {
    log_.push_back(up ? "subscribe" : "subscribe refused");
    return up;
  }
  void unsubscribe() override { log_.push_back("unsubscribe"); }

  bool up = true;

 private:
  CallLog& log_;
};

// Milliseconds of a steady clock in microseconds as a log shows them: "100ms",
// "98.5ms".
inline std::string msText(std::int64_t us) {
  std::string text = std::to_string(us / 1000);
  if (std::int64_t rest = (us < 0 ? -us : us) % 1000) {
    std::string fraction = std::to_string(1000 + rest).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + "ms";
}

// Logs every injection. With a clock, each call is logged with the moment its
// event went out ("100ms key 65 2") and takes costUs on that clock after it: a
// slow injection, such as SetCursorPos under Wine. warmUp() logs nothing and
// takes warmUpCostUs (under Wine the first MapVirtualKeyW on a thread opens
// its X connection); the first injection takes firstCallCostUs more before
// its event goes out: a start-up cost that no warm-up foresaw.
class FakeInputInjector : public InputInjector {
 public:
  explicit FakeInputInjector(CallLog& log, std::int64_t* clockUs = nullptr) : log_(log), clockUs_(clockUs) {}
  void warmUp() override {
    ++warmUps;
    if (clockUs_) *clockUs_ += warmUpCostUs;
  }
  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override {
    std::string text = "key " + std::to_string(vk) + " " + std::to_string(transition);
    if (extended) text += *extended ? " ext=1" : " ext=0";
    return add(text);
  }
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override {
    std::string text = "mouse " + std::to_string(flags) + " " + std::to_string(dx) + " " + std::to_string(dy);
    if (data != 0) text += " data=" + std::to_string(data);
    return add(text);
  }
  void setCursorPos(std::int32_t x, std::int32_t y) override {
    add("cursor " + std::to_string(x) + " " + std::to_string(y));
  }

  std::int64_t costUs = 0;
  std::int64_t warmUpCostUs = 0;
  std::int64_t firstCallCostUs = 0;
  int warmUps = 0;
  // The system refuses the injections, as Windows does with input that UIPI
  // blocks: logged all the same, marked "refused".
  bool refusing = false;

 private:
  bool add(std::string text) {
    if (refusing) text += " refused";
    if (!clockUs_) {
      log_.push_back(text);
      return !refusing;
    }
    if (!injected_) *clockUs_ += firstCallCostUs;
    injected_ = true;
    log_.push_back(msText(*clockUs_) + " " + text);
    *clockUs_ += costUs;
    return !refusing;
  }

  bool injected_ = false;

  CallLog& log_;
  std::int64_t* clockUs_;
};

// Waits take no real time: the steady clock of the factory jumps to the end
// of each wait. Events a test has set for a moment run when a wait reaches
// that moment, with the clock reading it, before the wait returns: a test
// acting in the middle of a pause.
class FakeWaiterFactory : public WaiterFactory {
 public:
  class FakeWaiter : public Waiter {
   public:
    explicit FakeWaiter(FakeWaiterFactory& factory) : factory_(factory) {}
    std::int64_t nowUs() override { return factory_.nowUs; }
    WaitEnd waitUntil(std::int64_t dueUs) override {
      ++factory_.waits;
      for (;;) {
        if (cancelled_) return WaitEnd::cancelled;
        if (interrupted_.exchange(false)) return WaitEnd::interrupted;
        if (factory_.events_.empty() || factory_.events_.begin()->first > dueUs) break;
        auto event = factory_.events_.extract(factory_.events_.begin());
        factory_.nowUs = std::max(factory_.nowUs, event.key());
        event.mapped()();
      }
      factory_.nowUs = std::max(factory_.nowUs, dueUs);
      return WaitEnd::reached;
    }
    void interrupt() override { interrupted_ = true; }
    void cancel() override { cancelled_ = true; }

   private:
    FakeWaiterFactory& factory_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> interrupted_{false};
  };

  std::shared_ptr<Waiter> makeWaiter() override { return std::make_shared<FakeWaiter>(*this); }

  // Runs the action when a wait reaches the moment, in milliseconds.
  void at(double ms, std::function<void()> action) {
    events_.emplace(static_cast<std::int64_t>(ms * 1000), std::move(action));
  }

  std::int64_t nowUs = 0;
  std::atomic<int> waits{0};

 private:
  std::multimap<std::int64_t, std::function<void()>> events_;
};

class FakeControls : public Controls {
 public:
  explicit FakeControls(CallLog& log) : log_(log) {}
  bool isChecked(CheckBox box) override { return checked[box]; }
  void uncheck(CheckBox box) override {
    checked[box] = false;
    log_.push_back("uncheck " + std::to_string(static_cast<int>(box) + 1));
  }
  void showError(const std::wstring& text) override {
    log_.push_back("error");
    lastError = text;
    if (onShowError) onShowError();
  }
  void setStatusText(StatusPanel panel, const std::wstring& text) override { status[static_cast<int>(panel)] = text; }
  std::wstring sensitivityText() override { return sensitivity; }
  void setTimerPeriod(std::int32_t ms) override { log_.push_back("timer " + std::to_string(ms)); }
  void minimiseWindow() override { log_.push_back("minimise"); }

  // The options as the window starts.
  std::map<CheckBox, bool> checked{{CheckBox::选择框1, true},  {CheckBox::选择框2, false}, {CheckBox::选择框3, true},
                                   {CheckBox::选择框4, true},  {CheckBox::选择框5, false}, {CheckBox::选择框6, true},
                                   {CheckBox::选择框7, true}};
  std::wstring status[2];
  std::wstring sensitivity = L"10";
  std::wstring lastError;
  std::function<void()> onShowError;

 private:
  CallLog& log_;
};

// The performance counter, in microseconds, and the tick that Windows reads
// at the same moment: GetTickCount and the hook structures' time field move
// in steps of 15.625 ms.
class FakeSteadyClock : public SteadyClock {
 public:
  std::int64_t nowUs() override { return us; }
  std::uint32_t windowsTick() const { return static_cast<std::uint32_t>(us / 15625 * 15625 / 1000); }
  std::int64_t us = 100'000'000;
};

// The user's input as the hooks deliver it at the clock's present moment:
// with the tick Windows reads then, and the clock's microseconds as the
// moment the hook got it. Without an extended flag of its own, a key has the
// one usual for its code.
class UserInput {
 public:
  explicit UserInput(const FakeSteadyClock& clock) : clock_(clock) {}
  KeyEvent key(std::int32_t transition, std::int32_t vk, std::optional<bool> extended = std::nullopt) const {
    return {transition, vk, false, extended.value_or(isExtendedKey(vk)), clock_.windowsTick(), clock_.us};
  }
  MouseEvent mouse(std::int32_t code, std::int32_t x, std::int32_t y, std::int32_t data = 0, bool own = false) const {
    return {code, x, y, own, data, clock_.windowsTick(), clock_.us};
  }

 private:
  const FakeSteadyClock& clock_;
};

// Unreadable as while the secure desktop has the input: GetCursorPos fails.
class FakeCursor : public CursorPosition {
 public:
  std::optional<MousePoint> cursorPos() override {
    if (!readable) return std::nullopt;
    return position;
  }
  MousePoint position{640, 480};
  bool readable = true;
};

class FakeSounds : public Sounds {
 public:
  explicit FakeSounds(CallLog& log) : log_(log) {}
  void play(const std::vector<std::uint8_t>& wav) override { log_.push_back("sound " + std::to_string(wav.size())); }

 private:
  CallLog& log_;
};

// The threads of runs: their bodies run on the test's thread when it says.
class FakeRunThreads : public RunThreads {
 public:
  void start(std::function<void()> body) override { pending.push_back(std::move(body)); }
  bool joinAll(std::chrono::milliseconds) override { return pending.empty() && !stuck; }
  // Runs what was started, and what that starts in turn.
  void runAll() {
    while (!pending.empty()) {
      std::function<void()> body = std::move(pending.front());
      pending.erase(pending.begin());
      body();
    }
  }

  std::vector<std::function<void()>> pending;
  // A run's thread held up in the system (inside SendInput, by another
  // program's slow hook): no join waits it out.
  bool stuck = false;
};

// A made-up desktop's input: what is injected is logged as FakeInputInjector
// logs it and comes back to the hooks' listener the way the system sends it,
// stamped with the clock's present moment and tick: keys and buttons marked
// as injected by us, a cursor placement as a plain move, which is how Wine
// reports it.
class LoopbackInjector : public FakeInputInjector {
 public:
  LoopbackInjector(CallLog& log, std::int64_t* clockUs, FakeInputHooks& hooks, FakeSteadyClock& clock,
                   FakeCursor& cursor)
      : FakeInputInjector(log, clockUs), hooks_(hooks), clock_(clock), cursor_(cursor) {}
  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override {
    if (!FakeInputInjector::injectKeyEvent(vk, transition, extended)) return false;
    if (hooks_.listener) {
      hooks_.listener->onKey(KeyEvent{transition == kKeyRelease ? kKeyRelease : kKeyPress, vk, true,
                                      extended.value_or(false), clock_.windowsTick(), clock_.us});
    }
    return true;
  }
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override {
    if (!FakeInputInjector::injectMouseEvent(flags, dx, dy, data)) return false;
    const std::int32_t code = flags & ~mouse_code::kAbsolute;
    if (hooks_.listener && code != 0) {
      hooks_.listener->onMouse(MouseEvent{code, cursor_.position.x, cursor_.position.y, true, data,
                                          clock_.windowsTick(), clock_.us});
    }
    return true;
  }
  void setCursorPos(std::int32_t x, std::int32_t y) override {
    FakeInputInjector::setCursorPos(x, y);
    cursor_.position = {x, y};
    if (hooks_.listener) {
      hooks_.listener->onMouse(MouseEvent{mouse_code::kMove, x, y, false, 0, clock_.windowsTick(), clock_.us});
    }
  }

 private:
  FakeInputHooks& hooks_;
  FakeSteadyClock& clock_;
  FakeCursor& cursor_;
};
