#include "platform/win32/window_thread.h"

namespace {

constexpr UINT kRunTasks = WM_APP + 0x54;
constexpr UINT_PTR kDelayedTimer = 1;

}  // namespace

Win32WindowThread::Win32WindowThread() { window_ = createMessageWindow(*this); }

void Win32WindowThread::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    if (messagePosted_) return;
    messagePosted_ = true;
  }
  if (window_ && PostMessageW(window_.get(), kRunTasks, 0, 0)) return;
  // A full message queue: the next post tries again.
  std::lock_guard lock(mutex_);
  messagePosted_ = false;
}

void Win32WindowThread::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
  if (delay.count() <= 0) {
    post(std::move(task));
    return;
  }
  delayed_.emplace(GetTickCount64() + static_cast<std::uint64_t>(delay.count()), std::move(task));
  setTimerForEarliest(false);
}

void Win32WindowThread::setTimerForEarliest(bool timerFired) {
  if (!window_) return;
  if (delayed_.empty()) {
    if (timerSet_) KillTimer(window_.get(), kDelayedTimer);
    timerSet_ = false;
    return;
  }
  const std::uint64_t due = delayed_.begin()->first;
  // Setting the timer is a round trip to the server under Wine: only when the
  // earliest task changed, or when the timer fired, since it then repeats at
  // the elapse it was set with.
  if (timerSet_ && due == timerDue_ && !timerFired) return;
  const std::uint64_t now = GetTickCount64();
  // Shorter delays are raised to USER_TIMER_MINIMUM; a timer that comes early
  // by the tick's resolution is set again for the rest.
  const UINT elapse = due > now ? static_cast<UINT>(due - now) : USER_TIMER_MINIMUM;
  timerSet_ = SetTimer(window_.get(), kDelayedTimer, elapse, nullptr) != 0;
  timerDue_ = due;
}

void Win32WindowThread::runDue(bool timerFired) {
  // WM_TIMER comes only when the queue holds nothing else, so the tasks
  // message looks for due tasks as well: a steady stream of posts must not
  // hold them back. The due ones leave the list before any runs, so that a
  // task that runs a modal loop and lets this in again finds only the rest.
  std::vector<std::function<void()>> due;
  const std::uint64_t now = GetTickCount64();
  while (!delayed_.empty() && delayed_.begin()->first <= now) {
    due.push_back(std::move(delayed_.begin()->second));
    delayed_.erase(delayed_.begin());
  }
  setTimerForEarliest(timerFired);
  for (std::function<void()>& task : due) task();
}

void Win32WindowThread::runPosted() {
  // A task that runs a modal loop lets this message in again; the outer call
  // goes on with what comes next, so that tasks keep their order.
  if (running_) return;
  running_ = true;
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(tasks_);
  }
  for (std::function<void()>& task : tasks) task();
  running_ = false;
  if (!delayed_.empty()) runDue(false);
  // What was posted meanwhile waits for the next message, so that a steady
  // stream of tasks never keeps the thread from its other messages.
  {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) {
      messagePosted_ = false;
      return;
    }
  }
  if (PostMessageW(window_.get(), kRunTasks, 0, 0)) return;
  std::lock_guard lock(mutex_);
  messagePosted_ = false;
}

std::optional<LRESULT> Win32WindowThread::onMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == kRunTasks) {
    runPosted();
    return 0;
  }
  if (message == WM_TIMER && wParam == kDelayedTimer) {
    runDue(true);
    return 0;
  }
  return std::nullopt;
}
