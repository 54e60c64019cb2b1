#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/input.h"

// The one record of state shared by the hot keys, the recorder, the idle timer
// and the player thread. Only `playing` is touched by the player thread.
struct RunState {
  std::int32_t recording = 0;
  // When the ScrollLock release that started the recording reached the hook,
  // in microseconds on the steady clock that stamps the events.
  std::int64_t recordStartTick = 0;
  std::wstring recordedScript;
  MousePoint lastMousePos;
  std::int32_t lastMouseTime = 0;
  std::atomic<std::int32_t> playing{0};
};
