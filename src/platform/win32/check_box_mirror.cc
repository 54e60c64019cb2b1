#include "platform/win32/check_box_mirror.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kWatchId = 0x6362;

}  // namespace

CheckBoxMirror::CheckBoxMirror(HWND checkBox)
    : checked_(SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED),
      watch_(checkBox, watch, kWatchId, reinterpret_cast<DWORD_PTR>(this)) {}

LRESULT CALLBACK CheckBoxMirror::watch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
  LRESULT result = Subclass::callOriginal(hwnd, message, wParam, lParam);
  if (message != WM_NCDESTROY) {
    reinterpret_cast<CheckBoxMirror*>(self)->checked_.store(Subclass::callOriginal(hwnd, BM_GETCHECK, 0, 0) ==
                                                            BST_CHECKED);
  }
  return result;
}
