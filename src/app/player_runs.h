#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "input/hot_keys.h"
#include "script/player.h"

// Starts each run of the player on a thread of its own and ends them all
// when the window goes.
class PlayerRuns : public Runs {
 public:
  PlayerRuns(ScriptPlayer& player, std::function<bool()> targetWindowInFront)
      : player_(player), targetWindowInFront_(std::move(targetWindowInFront)) {}
  ~PlayerRuns() override { shutdown(); }

  void start() override;
  void stop() override { player_.stop(); }
  bool isTargetWindowInFront() override { return targetWindowInFront_(); }

  // Stops the run and waits for every player thread to end; a message box a
  // player shows is closed. False when a thread did not end in time: it is
  // left to the end of the process.
  bool shutdown(std::chrono::milliseconds patience = std::chrono::seconds(1));

 private:
  struct Thread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<DWORD>> id = std::make_shared<std::atomic<DWORD>>(0);
  };
  void joinFinished();

  ScriptPlayer& player_;
  std::function<bool()> targetWindowInFront_;
  std::vector<Thread> threads_;
};
