#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/window_system.h"

// A window handle as a number: its low 32 bits, all that a handle carries.
inline WindowHandle toWindowHandle(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}
// Back to a handle by sign extension, the way 64-bit Windows widens a 32-bit
// handle.
inline HWND toHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

// The wide functions throughout, so that every title reaches the Unicode
// window list whole, whatever the system's ANSI code page.
class Win32WindowSystem : public WindowSystem {
 public:
  WindowHandle desktopWindow() override;
  WindowHandle firstChild(WindowHandle window) override;
  WindowHandle nextWindow(WindowHandle window) override;
  bool isVisible(WindowHandle window) override;
  // DwmGetWindowAttribute(DWMWA_CLOAKED), looked up at run time: the program
  // imports nothing that Windows 7 lacks, and Windows 7 answers the question
  // with an error, which counts as not cloaked.
  bool isCloaked(WindowHandle window) override;
  std::int32_t titleLength(WindowHandle window) override;
  std::int32_t readTitle(WindowHandle window, wchar_t* buffer, std::int32_t size) override;
  WindowHandle foregroundWindow() override;
  bool isHung(WindowHandle window) override;
};

// The window list over a drop-down combo box without sorting; each entry's
// number is its item data.
class ComboWindowListBox : public WindowListBox {
 public:
  explicit ComboWindowListBox(HWND combo) : combo_(combo) {}

  void removeAll() override;
  void append(const std::wstring& text, std::uint32_t value) override;
  void select(std::int32_t index) override;
  std::int32_t selectedIndex() override;
  std::optional<std::uint32_t> valueAt(std::int32_t index) override;

 private:
  HWND combo_;
};
