#include "platform/win32/message_window.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TamsikMessageWindow";

LRESULT CALLBACK messageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // The last message comes while the target's owner is going.
  if (message == WM_NCDESTROY && target) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    target = nullptr;
  }
  if (target) {
    if (std::optional<LRESULT> result = target->onMessage(message, wParam, lParam)) return *result;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

OwnedWindow createMessageWindow(MessageTarget& target) {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &messageWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  return OwnedWindow(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), &target));
}
