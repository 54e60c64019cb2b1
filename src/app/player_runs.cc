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

void PlayerRuns::shutdown() {
  if (threads_.empty()) return;
  player_.stop();
  for (;;) {
    joinFinished();
    if (threads_.empty()) return;
    for (Thread& thread : threads_) {
      EnumThreadWindows(
          thread.id->load(),
          [](HWND hwnd, LPARAM) {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return TRUE;
          },
          0);
    }
    // Answers the players' sent messages while it waits.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
