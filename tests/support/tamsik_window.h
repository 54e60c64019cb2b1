#pragma once

// tamsik.exe started, with its main window once it is up, whose controls are
// read and set from outside as a user's program would.

#include <windows.h>

#include <chrono>
#include <string>

#include "support/tamsik_process.h"

class TamsikWindow : public TamsikProcess {
 public:
  // Starts the program and waits until its main window is visible.
  explicit TamsikWindow(const std::wstring& exePath = tamsikPath());

  // nullptr when the window did not come.
  HWND window() const { return window_; }
  HWND control(int id) const { return findControl(window_, id); }

  std::wstring script() const;
  void setScript(const std::wstring& text) const;
  bool checked(int id) const;
  void setChecked(int id, bool on) const;
  // Panel 0 shows the pointer, panel 1 the messages.
  std::wstring status(int panel = 1) const;
  // Waits for the summary that ends a recording, "共N条脚本,...".
  bool waitForRecordingSummary(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

 private:
  HWND window_ = nullptr;
};
