#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

#include "platform/window_thread.h"

// Tasks for the thread that creates this object, carried by a message to a
// message-only window of its own, so that they also run inside modal loops
// (message boxes, file dialogs, a window being moved). Tasks posted in a
// burst travel with one message.
class Win32WindowThread : public WindowThread {
 public:
  // On the window thread.
  Win32WindowThread();
  ~Win32WindowThread() override;
  Win32WindowThread(const Win32WindowThread&) = delete;
  Win32WindowThread& operator=(const Win32WindowThread&) = delete;

  void post(std::function<void()> task) override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void runPosted();

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
  bool messagePosted_ = false;
  bool running_ = false;
};
