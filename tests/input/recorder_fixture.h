#pragma once

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"
#include "input/recorder.h"

// A recorder wired to fakes, with a recording started the way ScrollLock
// starts one. Events carry the system's stamp as Windows makes it, on the
// tick clock in 15.625 ms steps, and the moment the hook got them on the
// fine clock.
class RecorderTest : public testing::Test {
 protected:
  void startRecording() { recorder.beginRecording(steady.us); }

  // Both clocks ms after the start of the recording.
  void at(std::uint32_t ms) {
    steady.us = state.recordStartTick + std::int64_t{ms} * 1000;
    clock.now = kStartTick + ms;
  }

  // Events that reach the hook ms after the start of the recording, and the
  // window's thread then.
  void mouseAt(std::uint32_t ms, std::int32_t code, std::int32_t x, std::int32_t y, bool own = false,
               std::int32_t data = 0) {
    at(ms);
    recorder.onMouseEvent(input.mouse(code, x, y, data, own));
  }

  void keyAt(std::uint32_t ms, std::int32_t transition, std::int32_t vk, std::optional<bool> extended = std::nullopt) {
    at(ms);
    recorder.appendKeyLine(input.key(transition, vk, extended));
  }

  CallLog log;
  RunState state;
  FakeControls controls{log};
  FakeScriptBox box;
  FakeSteadyClock steady;
  UserInput input{steady};
  static constexpr std::uint32_t kStartTick = 100000;
  FakeClock clock;  // the pace of the box and the readout
  FakeCursor cursor;
  OwnPlacements placements{steady};
  // What the recorder leaves for the window thread runs at once, unless a
  // test holds it back.
  FakeWindowThread windowThread{&clock};
  FakeInputHooks hooks;
  Recorder recorder{state, controls, box, cursor, placements, windowThread, clock, hooks};
};
