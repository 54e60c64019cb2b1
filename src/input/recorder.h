#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "input/own_input.h"
#include "input/paced_update.h"
#include "platform/controls.h"
#include "platform/input.h"
#include "platform/script_box.h"
#include "platform/system.h"
#include "platform/window_thread.h"
#include "script/pressed.h"

// Turns the user's keys and mouse events into script lines while a recording
// is on, and shows the cursor position on every mouse event. A line is
// stamped with the moment the hook got its event, on the steady clock, so
// that the stamps depend neither on when this thread gets round to the event
// nor on the system's coarse stamp, which the injecting program may set.
//
// A line goes into the recorded script at once; the script box follows at a
// pace a person can see (PacedUpdate), so that lines reach the box in batches
// however fast they come, each within about a tenth of a second, and the box costs
// the same per line in a long recording as in a short one. The cursor readout
// follows the mouse events at the same pace.
//
// Window thread only.
class Recorder {
 public:
  Recorder(RunState& state, Controls& controls, ScriptBox& box, CursorPosition& cursor, OwnPlacements& ownPlacements,
           WindowThread& windowThread, TickClock& clock, InputHooks& hooks);

  // The one place where a recording starts and ends; the listener hears of
  // both, after the fact, with the value `recording` has then.
  void setRecordingListener(std::function<void(bool recording)> listener) { listener_ = std::move(listener); }
  // A recording starts at startUs: recording := 1, and the recorded script,
  // the box and the mouse filters start afresh.
  void beginRecording(std::int64_t startUs);
  // The event at endUs ends the recording: every key and button still down
  // gets its release, recording := 0, the box gets every line, and panel 1
  // the summary, with the events the hooks could not hand over.
  void endRecording(std::int64_t endUs);
  // The session locks, disconnects or suspends at atUs: every key and button
  // still down gets its release (their own releases happen where the hooks
  // cannot see them), and the recording's clock stands still until
  // resumeRecording(), which takes up the time from where it stood.
  void pauseRecording(std::int64_t atUs);
  void resumeRecording(std::int64_t atUs);
  // The length of a recording that the event at endUs ends, in whole
  // milliseconds: never shorter than its last line's stamp.
  std::int32_t lengthMs(std::int64_t endUs) const;
  // A key line; the line's sixth field carries the extended flag only when
  // it is not the one usual for the key's code.
  void appendKeyLine(const KeyEvent& event);
  // The mouse hook's callback.
  void onMouseEvent(const MouseEvent& event);
  // Brings the script box up to the recorded script at once: appends what is
  // new while the box still holds the script as last written, else rewrites
  // it.
  void flushToBox();

 private:
  void appendMouseLine(const MouseEvent& event);
  std::int32_t elapsedMs(std::int64_t atUs) const;
  void appendLine(const std::wstring& line);
  void releaseAllDown(std::int64_t atUs);
  void showCursorPosition();

  RunState& state_;
  Controls& controls_;
  ScriptBox& box_;
  CursorPosition& cursor_;
  OwnPlacements& ownPlacements_;
  InputHooks& hooks_;
  std::function<void(bool)> listener_;
  // What the recorded lines pressed and no line has released yet.
  std::vector<Pressed> down_;
  std::optional<std::int64_t> pausedAtUs_;
  std::uint64_t lostAtStart_ = 0;
  // Recorded lines not yet in the box.
  std::wstring pending_;
  std::int32_t lastLineMs_ = 0;
  PacedUpdate boxUpdate_;
  PacedUpdate readout_;
  // The box's revision right after our last write: while it stays the same,
  // the box still holds exactly the recorded script up to pending_.
  std::uint64_t writtenRevision_ = UINT64_MAX;
};

// "共N条脚本,估计执行时间需要S秒", S being the milliseconds as seconds with
// up to three decimals and no trailing zeros (12345 → 12.345, 1500 → 1.5,
// 2000 → 2).
// When the hooks lost events, ",丢失N个输入事件!" follows.
std::wstring recordingSummary(std::int32_t lineCount, std::int32_t elapsedMs, std::uint64_t lostEvents = 0);

// Whole milliseconds from startUs to atUs, 0 for a moment before the start,
// at most INT32_MAX.
std::int32_t elapsedBetween(std::int64_t startUs, std::int64_t atUs);

// The leading decimal number of a text, 0 when there is none.
double leadingNumber(const std::wstring& text);
