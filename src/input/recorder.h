#pragma once

#include <cstdint>
#include <string>

#include "app/run_state.h"
#include "input/own_input.h"
#include "platform/controls.h"
#include "platform/script_box.h"
#include "platform/system.h"

// Turns the user's keys and mouse events into script lines while a recording
// is on, and shows the cursor position on every mouse event.
class Recorder {
 public:
  Recorder(RunState& state, Controls& controls, ScriptBox& box, TickClock& clock, CursorPosition& cursor,
           OwnPlacements& ownPlacements);

  void appendKeyLine(std::int32_t transition, std::int32_t vk);
  // The mouse hook's callback.
  void onMouseEvent(const MouseEvent& event);

 private:
  void appendMouseLine(std::int32_t code, std::int32_t x, std::int32_t y);
  std::int32_t elapsedMs();
  void appendLine(const std::wstring& line);

  RunState& state_;
  Controls& controls_;
  ScriptBox& box_;
  TickClock& clock_;
  CursorPosition& cursor_;
  OwnPlacements& ownPlacements_;
  // The box's revision right after our last write: while it stays the same,
  // the box still holds exactly the recorded script.
  std::uint64_t writtenRevision_ = UINT64_MAX;
};

// Milliseconds between two ticks of the wrapping 32-bit clock, so that a
// recording across the wrap stays right.
std::int32_t elapsedBetween(std::uint32_t startTick, std::uint32_t nowTick);

// The leading decimal number of a text, 0 when there is none.
double leadingNumber(const std::wstring& text);
