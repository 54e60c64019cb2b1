#include "support/input_log.h"

#include "support/stopwatch.h"

namespace {

// The hook procedures get no context; one log at a time.
InputLog* gLog = nullptr;

}  // namespace

InputLog::InputLog() {
  gLog = this;
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this, started] { run(started); });
  WaitForSingleObject(started, 10'000);
  CloseHandle(started);
}

InputLog::~InputLog() {
  if (threadId_ != 0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
  gLog = nullptr;
}

void InputLog::run(HANDLE started) {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue for WM_QUIT
  threadId_ = GetCurrentThreadId();
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleW(nullptr), 0);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, GetModuleHandleW(nullptr), 0);
  ready_ = keyboard != nullptr && mouse != nullptr;
  SetEvent(started);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  if (mouse) UnhookWindowsHookEx(mouse);
}

LRESULT CALLBACK InputLog::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gLog) {
    const double at = nowMs();
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    LoggedEvent event;
    event.atMs = at;
    event.arrivalTick = GetTickCount();
    event.message = static_cast<std::uint32_t>(wParam);
    event.vk = info.vkCode;
    event.flags = info.flags;
    event.time = info.time;
    event.extraInfo = info.dwExtraInfo;
    gLog->add(event);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputLog::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gLog) {
    const double at = nowMs();
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    LoggedEvent event;
    event.atMs = at;
    event.arrivalTick = GetTickCount();
    event.mouse = true;
    event.message = static_cast<std::uint32_t>(wParam);
    event.flags = info.flags;
    event.point = info.pt;
    event.mouseData = info.mouseData;
    event.time = info.time;
    event.extraInfo = info.dwExtraInfo;
    gLog->add(event);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void InputLog::add(const LoggedEvent& event) {
  std::lock_guard lock(mutex_);
  events_.push_back(event);
}

std::vector<LoggedEvent> InputLog::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::size_t InputLog::size() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

void InputLog::clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}
