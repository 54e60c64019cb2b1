#include "support/file_dialog.h"

#include <cstdio>

#include "support/wine_desktop.h"

using namespace std::chrono_literals;

namespace {

HWND failed(const char* why) {
  std::fprintf(stderr, "file dialog: %s\n", why);
  return nullptr;
}

}  // namespace

HWND openFileDialog(const TamsikWindow& tamsik, int button) {
  if (xdotool(mouseMove(middleOf(tamsik.control(button))) + L" click 1") != 0) {
    return failed("xdotool could not click the button");
  }
  HWND dialog = nullptr;
  if (!pumpUntil([&] { return (dialog = tamsik.findWindow(L"#32770")) != nullptr; }, 10s)) {
    return failed("no dialog came");
  }
  RECT rect;
  GetWindowRect(dialog, &rect);
  // Keys reach Wine while the pointer is over one of its windows.
  if (xdotool(mouseMove({rect.left + 20, rect.top + 10})) != 0) {
    return failed("xdotool could not move the pointer");
  }
  if (!pumpUntil([&] { return GetForegroundWindow() == dialog; })) return failed("the dialog did not come to the front");
  return dialog;
}

bool waitForDialogToEnd(HWND mainWindow, HWND dialog) {
  if (!pumpUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(mainWindow); }, 20s)) {
    failed("the dialog stayed open");
    return false;
  }
  SendMessageW(mainWindow, WM_NULL, 0, 0);
  return true;
}

bool useFileDialog(const TamsikWindow& tamsik, int button, const std::wstring& path) {
  HWND dialog = openFileDialog(tamsik, button);
  if (!dialog) return false;
  if (path.empty()) {
    if (xdotool(L"key Escape") != 0) return false;
  } else if (xdotool(L"type --delay 10 '" + path + L"'") != 0 || xdotool(L"key Return") != 0) {
    return false;
  }
  return waitForDialogToEnd(tamsik.window(), dialog);
}

namespace {

BOOL CALLBACK findFileNameEdit(HWND child, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  // The file name box (cmb13, or edt1 in older dialogs) or the edit in it.
  const int id = GetDlgCtrlID(child);
  if (lstrcmpiW(name, L"Edit") == 0 && (id == 0x480 || GetDlgCtrlID(GetParent(child)) == 0x47C)) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool useFileDialogByMessages(const TamsikWindow& tamsik, int button, const std::wstring& path) {
  PostMessageW(tamsik.control(button), BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  if (!pumpUntil([&] { return (dialog = tamsik.findWindow(L"#32770")) != nullptr; }, 10s)) {
    return failed("no dialog came");
  }
  HWND edit = nullptr;
  if (!pumpUntil([&] {
        EnumChildWindows(dialog, findFileNameEdit, reinterpret_cast<LPARAM>(&edit));
        return edit != nullptr;
      })) {
    return failed("the dialog has no file name box");
  }
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return waitForDialogToEnd(tamsik.window(), dialog);
}
