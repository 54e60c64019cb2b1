#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/controls.h"
#include "platform/device_activity.h"
#include "platform/input.h"
#include "platform/waiter.h"
#include "platform/window_system.h"
#include "script/desktop_gate.h"
#include "script/held_input.h"
#include "script/published_script.h"

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
  // The run goes on after a pause: the next action comes its recorded gap
  // after this moment, as if the one before it had gone out now.
  void resumeAt(std::int64_t nowUs) {
    if (started_) referenceUs_ = nowUs;
  }

 private:
  bool started_ = false;
  std::int64_t referenceUs_ = 0;
};

// What a run looks at before each action, so that its input lands where the
// recording's did: the desktop's gate, the input desktop (the secure desktop
// announces itself to nobody: the run finds it when its input is refused),
// and whether the window in front takes its messages.
struct RunConditions {
  DesktopGate& gate;
  InputDesktop& inputDesktop;
  WindowSystem& windows;
};

// What a run tells the window, from its own thread.
enum class RunNotice {
  inputRefused,    // the system refused some of its input while the desktop was ours; once a run
  desktopAway,     // it pauses: the session is locked or away, or the secure desktop has the input
  windowHung,      // it waits: the window in front does not answer
  goingOn,         // the pause or the wait is over
};

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
// Before each action the run makes sure that its input can land: while the
// desktop's gate is closed or the secure desktop has the input, it pauses,
// letting go of what it holds; while the window in front does not answer, it
// waits. An action that the secure desktop refused is played again once the
// run goes on; the schedule starts afresh there, so that no burst makes up
// for the pause.
//
// The run's thread reads only the published script and the loop option's
// mirror; it never waits for the window thread.
class ScriptPlayer {
 public:
  // While a run cannot go on, it looks again this often; the gate's changes
  // wake it at once.
  static constexpr std::int64_t kLookAgainUs = 250'000;
  // Whether the window in front is hung is asked at most this often: under
  // Wine the question costs about as much as an injected key.
  static constexpr std::int64_t kHungLookUs = 50'000;

  struct Run {
    std::uint32_t number = 0;
    std::shared_ptr<Waiter> waiter;
    std::shared_ptr<HeldInput> held;
  };

  // loop: 选择框2 ("循环执行脚本") as the window thread mirrors it, read at
  // the end of every pass. controls: only for the message about an empty
  // script, shown from the run's thread.
  ScriptPlayer(std::atomic<std::int32_t>& playing, PublishedScript& script, const std::atomic<bool>& loop,
               Controls& controls, InputInjector& input, WaiterFactory& waiters, const RunConditions& conditions);

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
  // Any thread: the desktop's gate opened or closed.
  void gateChanged() { scriptChanged(); }
  // Window thread, once the runs were stopped and did not end in time (held
  // up in the system by another program's hook): lets go of what they hold.
  void releaseStuckRuns();
  // Called on the run's thread. Set before the first run.
  void setNoticeListener(std::function<void(RunNotice)> listener) { notice_ = std::move(listener); }

 private:
  enum class Obstacle { none, desktop, hungWindow };
  // What a run knows of the desktop between its actions.
  struct Watch {
    bool desktopRefused = false;  // its input was refused on a desktop not ours
    bool hung = false;            // the window in front, at the last look
    std::optional<std::int64_t> lookedUs;
  };

  bool goesOn(const Run& run) const;
  void finish(const Run& run);
  void tell(RunNotice notice) const;
  Obstacle obstacle(Watch& watch, std::int64_t nowUs);
  // Waits while the run cannot go on: while the desktop is away the keys and
  // buttons the run holds are let go of, and pressed again before it goes on.
  // False when the run was stopped meanwhile.
  bool waitOut(Obstacle first, Watch& watch, HeldInput& held, Waiter& waiter);

  std::atomic<std::int32_t>& playing_;
  PublishedScript& script_;
  const std::atomic<bool>& loop_;
  Controls& controls_;
  InputInjector& input_;
  WaiterFactory& waiters_;
  RunConditions conditions_;
  std::function<void(RunNotice)> notice_;

  std::mutex mutex_;  // orders beginRun against the end of an older run
  std::atomic<std::uint32_t> currentRun_{0};
  std::shared_ptr<Waiter> currentWaiter_;
  // Of the runs whose threads may not have ended yet.
  std::vector<std::weak_ptr<HeldInput>> held_;
};
