#pragma once

// The hook procedures of Win32InputHooks for a probe: the program's, which
// has none, and a benchmark's, which times them on the real hook thread.

#include "input/hook_codes.h"
#include "platform/win32/input_hooks.h"
#include "platform/win32/system.h"

template <typename Probe>
Win32InputHooks::Procedures Win32InputHooks::proceduresWith() {
  return {&keyboardProc<Probe>, &mouseProc<Probe>};
}

template <typename Probe>
LRESULT Win32InputHooks::handOn(int code, WPARAM wParam, LPARAM lParam) {
  [[maybe_unused]] typename Probe::HandingOn probe;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <typename Probe>
LRESULT CALLBACK Win32InputHooks::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  Win32InputHooks* hooks = hookThreadHooks_;
  if (code != HC_ACTION || !hooks) return handOn<Probe>(code, wParam, lParam);
  const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  const Heard heard{wParam, info.vkCode, info.scanCode, 0, 0, info.flags, info.time, info.dwExtraInfo};
  if (hooks->takes(heard)) {
    [[maybe_unused]] typename Probe::OwnWork probe;
    // Stamped here, on the fine clock: the struct's time is on the tick and
    // is the injecting program's to choose.
    hooks->take(keyEventFromHook(info.vkCode, info.flags, info.dwExtraInfo, info.time, steadyNowUs()));
  }
  return hooks->handOnHeard<Probe>(heard, code, wParam, lParam);
}

template <typename Probe>
LRESULT CALLBACK Win32InputHooks::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
  Win32InputHooks* hooks = hookThreadHooks_;
  if (code != HC_ACTION || !hooks) return handOn<Probe>(code, wParam, lParam);
  const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
  const Heard heard{wParam, info.mouseData, 0, info.pt.x, info.pt.y, info.flags, info.time, info.dwExtraInfo};
  if (hooks->takes(heard)) {
    [[maybe_unused]] typename Probe::OwnWork probe;
    hooks->take(mouseEventFromHook(static_cast<std::uint32_t>(wParam), info.pt.x, info.pt.y, info.mouseData,
                                   info.dwExtraInfo, info.time, steadyNowUs()));
  }
  return hooks->handOnHeard<Probe>(heard, code, wParam, lParam);
}

template <typename Probe>
LRESULT Win32InputHooks::handOnHeard(const Heard& heard, int code, WPARAM wParam, LPARAM lParam) {
  const Heard outer = handingOn_;
  handingOn_ = heard;
  ++depth_;
  const LRESULT result = handOn<Probe>(code, wParam, lParam);
  --depth_;
  handingOn_ = outer;
  return result;
}
