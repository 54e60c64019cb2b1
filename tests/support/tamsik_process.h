#pragma once

// Starts tamsik.exe as a separate process and reads its window from outside,
// through the Win32 API only.

#include <windows.h>

#include <chrono>
#include <string>

#include "support/wine_desktop.h"

// The path of the tamsik.exe under test, from the command line.
const std::wstring& tamsikPath();

class TamsikProcess {
 public:
  explicit TamsikProcess(const std::wstring& exePath = tamsikPath());
  ~TamsikProcess();
  TamsikProcess(const TamsikProcess&) = delete;
  TamsikProcess& operator=(const TamsikProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // A visible top-level window of the process with that window class, such
  // as "#32770" for its dialogs and message boxes; nullptr when there is none.
  HWND findWindow(const std::wstring& windowClass) const;
  // Waits until the main window exists and is visible; nullptr on timeout.
  HWND waitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Waits for the process to end; its exit code, or STILL_ACTIVE on timeout.
  DWORD waitForExit(std::chrono::milliseconds timeout);
  bool running() const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// The child with the given identifier anywhere below the window.
HWND findControl(HWND mainWindow, int id);
// Text of a status bar panel of a window in another process.
std::wstring remoteStatusText(HWND status, int panel);
