#include "platform/win32/run_threads.h"

#include <algorithm>

void Win32RunThreads::start(std::function<void()> body) {
  joinFinished();
  Thread thread;
  thread.thread = std::thread([body = std::move(body), done = thread.done, id = thread.id] {
    id->store(GetCurrentThreadId());
    // So that a busy machine does not make the pauses late by whole quanta.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    body();
    done->store(true);
  });
  threads_.push_back(std::move(thread));
}

void Win32RunThreads::joinFinished() {
  std::erase_if(threads_, [](Thread& thread) {
    if (!thread.done->load()) return false;
    thread.thread.join();
    return true;
  });
}

bool Win32RunThreads::joinAll(std::chrono::milliseconds patience) {
  auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    joinFinished();
    if (threads_.empty()) return true;
    if (std::chrono::steady_clock::now() > deadline) {
      for (Thread& thread : threads_) thread.thread.detach();
      threads_.clear();
      return false;
    }
    for (Thread& thread : threads_) {
      // The message box about an empty script has only an OK button.
      EnumThreadWindows(
          thread.id->load(),
          [](HWND hwnd, LPARAM) {
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return TRUE;
          },
          0);
    }
    Sleep(5);
  }
}
