#include "app/player_runs.h"

#include <algorithm>

void PlayerRuns::start() {
  joinFinished();
  ScriptPlayer::Run run = player_.beginRun();
  Thread thread;
  thread.thread = std::thread([this, run, done = thread.done, id = thread.id] {
    id->store(GetCurrentThreadId());
    player_.playScript(run);
    done->store(true);
  });
  threads_.push_back(std::move(thread));
}

void PlayerRuns::joinFinished() {
  std::erase_if(threads_, [](Thread& thread) {
    if (!thread.done->load()) return false;
    thread.thread.join();
    return true;
  });
}

bool PlayerRuns::shutdown(std::chrono::milliseconds patience) {
  if (threads_.empty()) return true;
  player_.stop();
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
