#include "platform/win32/input_hooks.h"

#include "input/hook_codes.h"

namespace {

// The hook procedures get no context pointer.
InputListener* currentListener = nullptr;

LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && currentListener != nullptr) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    currentListener->onKey(keyEventFromHook(info.vkCode, info.flags, info.dwExtraInfo, info.time));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && currentListener != nullptr) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    currentListener->onMouse(mouseEventFromHook(static_cast<std::uint32_t>(wParam), info.pt.x, info.pt.y,
                                                info.mouseData, info.dwExtraInfo, info.time));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Win32InputHooks::~Win32InputHooks() { remove(); }

bool Win32InputHooks::install(InputListener& listener) {
  remove();
  listener_ = &listener;
  currentListener = &listener;
  HINSTANCE module = GetModuleHandleW(nullptr);
  keyboardHook_.reset(SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0));
  mouseHook_.reset(SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0));
  if (!keyboardHook_ || !mouseHook_) {
    remove();
    return false;
  }
  return true;
}

void Win32InputHooks::remove() {
  keyboardHook_.reset();
  mouseHook_.reset();
  if (listener_ != nullptr && currentListener == listener_) currentListener = nullptr;
  listener_ = nullptr;
}
