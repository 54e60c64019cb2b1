#include "platform/win32/check_box_mirror.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kWatchId = 0x6362;

}  // namespace

CheckBoxMirror::CheckBoxMirror(HWND checkBox) : checkBox_(checkBox) {
  checked_.store(SendMessageW(checkBox_, BM_GETCHECK, 0, 0) == BST_CHECKED);
  SetWindowSubclass(checkBox_, watch, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

CheckBoxMirror::~CheckBoxMirror() { RemoveWindowSubclass(checkBox_, watch, kWatchId); }

LRESULT CALLBACK CheckBoxMirror::watch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
  LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message != WM_NCDESTROY) {
    reinterpret_cast<CheckBoxMirror*>(self)->checked_.store(DefSubclassProc(hwnd, BM_GETCHECK, 0, 0) ==
                                                            BST_CHECKED);
  }
  return result;
}
