#pragma once

// tamsik.exe started, with its main window once it is up, whose controls are
// read and set from outside as a user's program would.

#include <windows.h>

#include <chrono>
#include <string>

#include "app/control_ids.h"
#include "support/tamsik_process.h"
#include "support/wine_desktop.h"

class TamsikWindow : public TamsikProcess {
 public:
  // Starts the program and waits until its main window is visible.
  explicit TamsikWindow(const std::wstring& exePath = tamsikPath())
      : TamsikProcess(exePath), window_(waitForMainWindow()) {}

  // nullptr when the window did not come.
  HWND window() const { return window_; }
  HWND control(int id) const { return findControl(window_, id); }

  std::wstring script() const { return windowText(control(control_id::脚本框)); }
  void setScript(const std::wstring& text) const {
    sendWithin(control(control_id::脚本框), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), "WM_SETTEXT");
  }
  bool checked(int id) const { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void setChecked(int id, bool on) const {
    SendMessageW(control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  // Panel 0 shows the pointer, panel 1 the messages.
  std::wstring status(int panel = 1) const { return remoteStatusText(control(control_id::状态条1), panel); }
  // Waits for the summary that ends a recording, "共N条脚本,...".
  bool waitForRecordingSummary(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
    return waitUntil("the recording's summary", [&] { return status().starts_with(L"共"); }, timeout);
  }
  // Closes the window as its close box does; the exit code, as waitForExit.
  DWORD close(std::chrono::milliseconds timeout) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return waitForExit(timeout);
  }

 private:
  HWND window_ = nullptr;
};
