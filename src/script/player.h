#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/controls.h"
#include "platform/input.h"
#include "platform/script_box.h"
#include "platform/waiter.h"

// Plays the script box line by line with the recorded pauses, once or in a
// loop. Each run is numbered: a run that was stopped never plays again, even
// when a newer run has set `playing` before the stopped one woke up.
class ScriptPlayer {
 public:
  struct Run {
    std::uint32_t number = 0;
    std::shared_ptr<Waiter> waiter;
  };

  ScriptPlayer(std::atomic<std::int32_t>& playing, ScriptBox& box, Controls& controls, InputInjector& input,
               WaiterFactory& waiters);

  // Called before the run's thread starts, so that a second start is refused
  // at once: playing := 1.
  Run beginRun();
  // The body of the run's thread. Whatever ends the run, every key and mouse
  // button it pressed and did not release is released, last pressed first.
  void playScript(const Run& run);
  // Any thread: playing := 0 and the run's pause ends at once.
  void stop();

 private:
  bool goesOn(const Run& run) const;
  void finish(const Run& run);

  std::atomic<std::int32_t>& playing_;
  ScriptBox& box_;
  Controls& controls_;
  InputInjector& input_;
  WaiterFactory& waiters_;

  std::mutex mutex_;  // orders beginRun against the end of an older run
  std::atomic<std::uint32_t> currentRun_{0};
  std::shared_ptr<Waiter> currentWaiter_;
};
