#include "support/input_log.h"

#include "support/stopwatch.h"

#include <cstdio>

namespace {

// The hook procedures get no context; one log at a time. The mutex keeps a
// procedure from adding to a log that is going away.
std::mutex gLogMutex;
InputLog* gLog = nullptr;

constexpr DWORD kThreadBoundMs = 10'000;

}  // namespace

InputLog::InputLog()
    : started_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  {
    std::lock_guard lock(gLogMutex);
    gLog = this;
  }
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
  if (thread_ && WaitForSingleObject(started_, kThreadBoundMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "input log: the hook thread did not start within %lu ms\n", kThreadBoundMs);
  }
}

InputLog::~InputLog() {
  {
    std::lock_guard lock(gLogMutex);
    gLog = nullptr;
  }
  if (!thread_) return;
  SetEvent(stop_);
  if (WaitForSingleObject(thread_, kThreadBoundMs) != WAIT_OBJECT_0) {
    // Left running with its handles: it no longer touches this object.
    std::fprintf(stderr, "input log: the hook thread did not end within %lu ms\n", kThreadBoundMs);
    return;
  }
  CloseHandle(thread_);
  CloseHandle(stop_);
  CloseHandle(started_);
}

DWORD WINAPI InputLog::run(void* self) {
  auto& log = *static_cast<InputLog*>(self);
  const HANDLE stop = log.stop_;
  MSG message;
  // Without a queue, Wine passes input by the hooks (see Win32InputHooks).
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleW(nullptr), 0);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, GetModuleHandleW(nullptr), 0);
  log.ready_ = keyboard != nullptr && mouse != nullptr;
  SetEvent(log.started_);  // from here on, log may go away at any time
  while (MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  if (keyboard) UnhookWindowsHookEx(keyboard);
  if (mouse) UnhookWindowsHookEx(mouse);
  return 0;
}

LRESULT CALLBACK InputLog::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
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
    add(event);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputLog::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
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
    add(event);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void InputLog::add(const LoggedEvent& event) {
  std::lock_guard logLock(gLogMutex);
  if (!gLog) return;
  std::lock_guard lock(gLog->mutex_);
  gLog->events_.push_back(event);
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
