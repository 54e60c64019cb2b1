#pragma once

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"
#include "input/hook_codes.h"
#include "input/recorder.h"

// A recorder wired to fakes, with a recording started at tick 100000 the way
// ScrollLock starts one.
class RecorderTest : public testing::Test {
 protected:
  void startRecording() { recorder.beginRecording(clock.now); }

  // Events stamped ms after the start of the recording, arriving then.
  void mouseAt(std::uint32_t ms, std::int32_t code, std::int32_t x, std::int32_t y, bool own = false,
               std::int32_t data = 0) {
    clock.now = static_cast<std::uint32_t>(state.recordStartTick) + ms;
    recorder.onMouseEvent(MouseEvent{code, x, y, own, data, clock.now});
  }

  // Without an extended flag of its own, the key has the one usual for it.
  void keyAt(std::uint32_t ms, std::int32_t transition, std::int32_t vk, std::optional<bool> extended = std::nullopt) {
    clock.now = static_cast<std::uint32_t>(state.recordStartTick) + ms;
    recorder.appendKeyLine(KeyEvent{transition, vk, false, extended.value_or(isExtendedKey(vk)), clock.now});
  }

  CallLog log;
  RunState state;
  FakeControls controls{log};
  FakeScriptBox box;
  FakeClock clock;
  FakeCursor cursor;
  OwnPlacements placements{clock};
  // What the recorder leaves for the window thread runs at once, unless a
  // test holds it back.
  FakeWindowThread windowThread{&clock};
  Recorder recorder{state, controls, box, cursor, placements, windowThread, clock};
};
