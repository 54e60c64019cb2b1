#pragma once

#include <cstdint>
#include <string>

#include "app/run_state.h"
#include "input/recorder.h"
#include "platform/controls.h"
#include "platform/input.h"
#include "platform/system.h"

namespace hot_key {
inline constexpr std::int32_t kScrollLock = 0x91;
inline constexpr std::int32_t kF12 = 0x7B;
inline constexpr std::int32_t kF11 = 0x7A;
}  // namespace hot_key

// Starting and stopping runs of the player, and the target-window test.
// Abstract so that they can be mocked out for tests.
class Runs {
 public:
  virtual ~Runs() = default;
  // playing := 1, then the player starts on a thread of its own.
  virtual void start() = 0;
  // playing := 0; the run ends at once, even in the middle of a pause.
  virtual void stop() = 0;
  virtual bool isTargetWindowInFront() = 0;
  // The foreground window belongs to a process above ours, which takes none
  // of the input a run injects.
  virtual bool isForegroundWindowAboveUs() = 0;
};

// The keyboard hook's callback: ScrollLock records, F12 runs, F11 stops, each
// on its release; other keys go to the recorder during a recording.
class HotKeys {
 public:
  HotKeys(RunState& state, Controls& controls, Sounds& sounds, Runs& runs, Recorder& recorder);

  void onKeyEvent(const KeyEvent& event);

 private:
  // A recording starts and ends at the moments the ScrollLock releases
  // reached the hook, on the clock of the recorded events.
  void startRecording(std::int64_t atUs);
  void endRecording(std::int64_t atUs);
  void runScript();

  RunState& state_;
  Controls& controls_;
  Sounds& sounds_;
  Runs& runs_;
  Recorder& recorder_;
};
