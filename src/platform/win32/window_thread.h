#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/win32/message_window.h"
#include "platform/window_thread.h"

// Tasks for the thread that creates this object, carried by a message to a
// message-only window of its own, so that they also run inside modal loops
// (message boxes, file dialogs, a window being moved). Tasks posted in a
// burst travel with one message. Delayed tasks wait on one timer of that
// window, set for the earliest of them.
class Win32WindowThread : public WindowThread, private MessageTarget {
 public:
  // On the window thread.
  Win32WindowThread();
  Win32WindowThread(const Win32WindowThread&) = delete;
  Win32WindowThread& operator=(const Win32WindowThread&) = delete;

  void post(std::function<void()> task) override;
  void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

 private:
  std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void runPosted();
  void runDue(bool timerFired);
  void setTimerForEarliest(bool timerFired);

  OwnedWindow window_;  // its timer goes with it
  std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
  bool messagePosted_ = false;
  bool running_ = false;
  // Window thread only: delayed tasks by the GetTickCount64 they are due at.
  std::multimap<std::uint64_t, std::function<void()>> delayed_;
  std::uint64_t timerDue_ = 0;  // what the timer is set for
  bool timerSet_ = false;
};
