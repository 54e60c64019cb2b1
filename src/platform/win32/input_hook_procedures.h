#pragma once

// The hook procedures of Win32InputHooks for a probe: the program's, which
// has none, and a benchmark's, which times them on the real hook thread.

#include "input/hook_codes.h"
#include "platform/win32/input_hooks.h"
#include "platform/win32/system.h"

template <typename Probe>
Win32InputHooks::Procedures Win32InputHooks::proceduresWith() {
  return {&procedure<Probe, KBDLLHOOKSTRUCT>, &procedure<Probe, MSLLHOOKSTRUCT>};
}

template <typename Probe>
LRESULT Win32InputHooks::handOn(int code, WPARAM wParam, LPARAM lParam) {
  [[maybe_unused]] typename Probe::HandingOn probe;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

inline Win32InputHooks::Heard Win32InputHooks::heardOf(WPARAM message, const KBDLLHOOKSTRUCT& info) {
  return {message, info.vkCode, info.scanCode, 0, 0, info.flags, info.time, info.dwExtraInfo};
}

inline Win32InputHooks::Heard Win32InputHooks::heardOf(WPARAM message, const MSLLHOOKSTRUCT& info) {
  return {message, info.mouseData, 0, info.pt.x, info.pt.y, info.flags, info.time, info.dwExtraInfo};
}

inline Win32InputHooks::Event Win32InputHooks::eventOf(WPARAM, const KBDLLHOOKSTRUCT& info, std::int64_t atUs) {
  return keyEventFromHook(info.vkCode, info.flags, info.dwExtraInfo, info.time, atUs);
}

inline Win32InputHooks::Event Win32InputHooks::eventOf(WPARAM message, const MSLLHOOKSTRUCT& info,
                                                       std::int64_t atUs) {
  return mouseEventFromHook(static_cast<std::uint32_t>(message), info.pt.x, info.pt.y, info.mouseData,
                            info.dwExtraInfo, info.time, atUs);
}

template <typename Probe, typename Info>
LRESULT CALLBACK Win32InputHooks::procedure(int code, WPARAM wParam, LPARAM lParam) {
  Win32InputHooks* hooks = nullptr;
  Heard heard;
  {
    [[maybe_unused]] typename Probe::OwnWork probe;
    if (code == HC_ACTION) hooks = hooking_.load(std::memory_order_acquire);
    if (hooks) {
      const Info& info = *reinterpret_cast<const Info*>(lParam);
      heard = heardOf(wParam, info);
      // Stamped here, on the fine clock: the struct's time is on the tick and
      // is the injecting program's to choose.
      if (hooks->takes(heard)) hooks->take(eventOf(wParam, info, steadyNowUs()));
    }
  }
  return hooks ? hooks->handOnHeard<Probe>(heard, code, wParam, lParam) : handOn<Probe>(code, wParam, lParam);
}

template <typename Probe>
LRESULT Win32InputHooks::handOnHeard(const Heard& heard, int code, WPARAM wParam, LPARAM lParam) {
  if (depth_ < kRemembered) handingOn_[depth_] = heard;
  ++depth_;
  const LRESULT result = handOn<Probe>(code, wParam, lParam);
  --depth_;
  return result;
}
