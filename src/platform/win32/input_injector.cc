#include "platform/win32/input_injector.h"

#include <windows.h>

#include "input/hook_codes.h"

HKL foregroundLayout() {
  // Of no window, GetKeyboardLayout gives the calling thread's own layout.
  return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
}

void Win32InputInjector::warmUp() {
  // SendInput waits on the thread's message queue for the hooks to be done
  // with the event: the queue is made here, not by the first injection.
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  MapVirtualKeyExW(VK_SHIFT, MAPVK_VK_TO_VSC, foregroundLayout());
  GetKeyState(VK_SHIFT);
  POINT ignored;
  GetCursorPos(&ignored);
}

bool Win32InputInjector::injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(vk);
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyExW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC, foregroundLayout()));
  input.ki.dwFlags = (transition == kKeyRelease ? KEYEVENTF_KEYUP : 0) |
                     (extended.value_or(isExtendedKey(vk)) ? KEYEVENTF_EXTENDEDKEY : 0);
  input.ki.dwExtraInfo = kOwnInputMarker;
  return SendInput(1, &input, sizeof input) == 1;
}

bool Win32InputInjector::injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.mouseData = static_cast<DWORD>(data);
  input.mi.dwFlags = static_cast<DWORD>(flags);
  input.mi.dwExtraInfo = kOwnInputMarker;
  return SendInput(1, &input, sizeof input) == 1;
}

void Win32InputInjector::setCursorPos(std::int32_t x, std::int32_t y) { SetCursorPos(x, y); }
