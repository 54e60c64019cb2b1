#pragma once

#include <windows.h>

#include <atomic>

#include "platform/win32/handles.h"

// A check box's state as other threads read it. The box is watched after
// every message it handles, so that each change counts: a click, the space
// bar, BM_SETCHECK from this program or from another.
class CheckBoxMirror {
 public:
  // On the check box's thread.
  explicit CheckBoxMirror(HWND checkBox);
  CheckBoxMirror(const CheckBoxMirror&) = delete;
  CheckBoxMirror& operator=(const CheckBoxMirror&) = delete;

  // Any thread.
  const std::atomic<bool>& checked() const { return checked_; }

 private:
  static LRESULT CALLBACK watch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

  std::atomic<bool> checked_;
  Subclass watch_;
};
