#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/controls.h"
#include "platform/input.h"
#include "platform/waiter.h"
#include "script/published_script.h"

// Plays the script box line by line, once or in a loop. The run's thread first
// warms up the injection (InputInjector::warmUp); the first action of a run is
// then played at once; each later one is due the difference of the two
// lines' stamps after the one before it (3 ms when that is not positive), and
// the first action of every later pass 3 ms after the last of the pass
// before. Due moments lie on the waiter's steady clock, so the time that the
// actions themselves take never adds up (see ActionSchedule).
//
// Each run is numbered: a run that was stopped never plays again, even when
// a newer run has set `playing` before the stopped one woke up.
//
// The run's thread reads only the published script and the loop option's
// mirror; it never waits for the window thread.
// The moments at which a run's actions are due: each the previous one plus its
// pause. The first action of a run anchors the schedule where it actually
// went out, so that no start-up cost (a first call on a new thread, a late
// wake-up) shortens the first gap. After that, a lag of up to kCatchUpUs is
// caught up by the actions that follow; after a longer stall (a suspended
// machine, a hung injection) the moment the late action went out becomes the
// new reference, so that a stall never turns into a burst.
class ActionSchedule {
 public:
  static constexpr std::int64_t kCatchUpUs = 50'000;

  // When the next action is due: pauseMs after the previous one's moment;
  // the first action of all at once, that is leadUs (how long before its
  // moment the action begins) from now.
  std::int64_t due(std::int32_t pauseMs, std::int64_t leadUs, std::int64_t nowUs) const;
  // Right after the action that was due at dueUs and went out at wentOutUs.
  void played(std::int64_t dueUs, std::int64_t wentOutUs);

 private:
  bool started_ = false;
  std::int64_t referenceUs_ = 0;
};

class ScriptPlayer {
 public:
  struct Run {
    std::uint32_t number = 0;
    std::shared_ptr<Waiter> waiter;
  };

  // loop: 选择框2 ("循环执行脚本") as the window thread mirrors it, read at
  // the end of every pass. controls: only for the message about an empty
  // script, shown from the run's thread.
  ScriptPlayer(std::atomic<std::int32_t>& playing, PublishedScript& script, const std::atomic<bool>& loop,
               Controls& controls, InputInjector& input, WaiterFactory& waiters);

  // Window thread, before the run's thread starts, so that a second start is
  // refused at once: publishes the script box as it is and sets playing := 1.
  Run beginRun();
  // The body of the run's thread. Whatever ends the run, every key and mouse
  // button it pressed and did not release is released, last pressed first.
  void playScript(const Run& run);
  // Any thread: playing := 0 and the run's pause ends at once.
  void stop();
  // Any thread: a new script was published. A run waiting for its next action
  // reads that line again, so that an edit takes effect at once.
  void scriptChanged();
  // Called on the run's thread, once a run, when the system refused some of
  // its input. Set before the first run.
  void setInputRefusedListener(std::function<void()> listener) { inputRefused_ = std::move(listener); }

 private:
  bool goesOn(const Run& run) const;
  void finish(const Run& run);

  std::atomic<std::int32_t>& playing_;
  PublishedScript& script_;
  const std::atomic<bool>& loop_;
  Controls& controls_;
  InputInjector& input_;
  WaiterFactory& waiters_;
  std::function<void()> inputRefused_;

  std::mutex mutex_;  // orders beginRun against the end of an older run
  std::atomic<std::uint32_t> currentRun_{0};
  std::shared_ptr<Waiter> currentWaiter_;
};
