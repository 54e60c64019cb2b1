#include "platform/win32/window_system.h"

#include <string>

namespace {

constexpr DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED, Windows 8

using DwmGetWindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

// Loaded once from the system directory, never from next to the program, and
// kept for the life of the process.
DwmGetWindowAttributeFunction dwmGetWindowAttribute() {
  static const DwmGetWindowAttributeFunction function = []() -> DwmGetWindowAttributeFunction {
    wchar_t directory[MAX_PATH];
    UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    HMODULE dwmapi = LoadLibraryW((std::wstring(directory, length) + L"\\dwmapi.dll").c_str());
    if (!dwmapi) return nullptr;
    FARPROC address = GetProcAddress(dwmapi, "DwmGetWindowAttribute");
    return reinterpret_cast<DwmGetWindowAttributeFunction>(reinterpret_cast<void*>(address));
  }();
  return function;
}

}  // namespace

WindowHandle Win32WindowSystem::desktopWindow() { return toWindowHandle(GetDesktopWindow()); }

WindowHandle Win32WindowSystem::firstChild(WindowHandle window) {
  return toWindowHandle(GetWindow(toHwnd(window), GW_CHILD));
}

WindowHandle Win32WindowSystem::nextWindow(WindowHandle window) {
  return toWindowHandle(GetWindow(toHwnd(window), GW_HWNDNEXT));
}

bool Win32WindowSystem::isVisible(WindowHandle window) { return IsWindowVisible(toHwnd(window)) != FALSE; }

bool Win32WindowSystem::isCloaked(WindowHandle window) {
  DwmGetWindowAttributeFunction get = dwmGetWindowAttribute();
  if (!get) return false;
  DWORD cloaked = 0;
  return SUCCEEDED(get(toHwnd(window), kDwmCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

std::int32_t Win32WindowSystem::titleLength(WindowHandle window) { return GetWindowTextLengthW(toHwnd(window)); }

std::int32_t Win32WindowSystem::readTitle(WindowHandle window, wchar_t* buffer, std::int32_t size) {
  return GetWindowTextW(toHwnd(window), buffer, size);
}

WindowHandle Win32WindowSystem::foregroundWindow() { return toWindowHandle(GetForegroundWindow()); }

bool Win32WindowSystem::isHung(WindowHandle window) { return window != 0 && IsHungAppWindow(toHwnd(window)); }

void ComboWindowListBox::removeAll() { SendMessageW(combo_, CB_RESETCONTENT, 0, 0); }

void ComboWindowListBox::append(const std::wstring& text, std::uint32_t value) {
  LRESULT index = SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) SendMessageW(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

void ComboWindowListBox::select(std::int32_t index) {
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::int32_t ComboWindowListBox::selectedIndex() {
  return static_cast<std::int32_t>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
}

std::optional<std::uint32_t> ComboWindowListBox::valueAt(std::int32_t index) {
  // Item data may hold any value, CB_ERR included: the range is checked first.
  if (index < 0 || index >= SendMessageW(combo_, CB_GETCOUNT, 0, 0)) return std::nullopt;
  return static_cast<std::uint32_t>(SendMessageW(combo_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}
