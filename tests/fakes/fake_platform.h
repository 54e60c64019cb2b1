#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/waiter.h"

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

  CallLog calls;
  InputListener* listener = nullptr;
};

class FakeProcesses : public Processes {
 public:
  std::vector<std::wstring> runningExecutableNames() override { return running; }
  std::wstring ownExecutableName() override { return own; }

  std::vector<std::wstring> running{L"TAMSIK.EXE"};
  std::wstring own = L"TAMSIK.EXE";
};

class FakeInputInjector : public InputInjector {
 public:
  explicit FakeInputInjector(CallLog& log) : log_(log) {}
  void injectKeyEvent(std::int32_t vk, std::int32_t transition) override {
    log_.push_back("key " + std::to_string(vk) + " " + std::to_string(transition));
  }
  void injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy) override {
    log_.push_back("mouse " + std::to_string(flags) + " " + std::to_string(dx) + " " + std::to_string(dy));
  }
  void setCursorPos(std::int32_t x, std::int32_t y) override {
    log_.push_back("cursor " + std::to_string(x) + " " + std::to_string(y));
  }

 private:
  CallLog& log_;
};

// Waits no real time. `onSleep` runs inside each wait, before it returns, so
// a test can act in the middle of a pause.
class FakeWaiter : public Waiter {
 public:
  FakeWaiter(CallLog& log, std::function<void(std::int32_t)>& onSleep) : log_(log), onSleep_(onSleep) {}
  bool sleepMs(std::int32_t ms) override {
    if (cancelled_) return false;
    log_.push_back("sleep " + std::to_string(ms));
    if (onSleep_) onSleep_(ms);
    return !cancelled_;
  }
  void cancel() override { cancelled_ = true; }

 private:
  CallLog& log_;
  std::function<void(std::int32_t)>& onSleep_;
  std::atomic<bool> cancelled_{false};
};

class FakeWaiterFactory : public WaiterFactory {
 public:
  explicit FakeWaiterFactory(CallLog& log) : log_(log) {}
  std::shared_ptr<Waiter> makeWaiter() override { return std::make_shared<FakeWaiter>(log_, onSleep); }

  std::function<void(std::int32_t)> onSleep;

 private:
  CallLog& log_;
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

class FakeClock : public TickClock {
 public:
  std::uint32_t tickMs() override { return now; }
  std::uint32_t now = 100000;
};

class FakeCursor : public CursorPosition {
 public:
  MousePoint cursorPos() override { return position; }
  MousePoint position{640, 480};
};

class FakeSounds : public Sounds {
 public:
  explicit FakeSounds(CallLog& log) : log_(log) {}
  void play(const std::vector<std::uint8_t>& wav) override { log_.push_back("sound " + std::to_string(wav.size())); }

 private:
  CallLog& log_;
};
