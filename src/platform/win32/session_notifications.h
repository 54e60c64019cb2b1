#pragma once

#include <windows.h>

#include "platform/shell.h"

// WM_WTSSESSION_CHANGE for this session, to the given window.
class Win32SessionNotifications : public SessionNotifications {
 public:
  explicit Win32SessionNotifications(HWND window) : window_(window) {}

  bool subscribe() override;
  void unsubscribe() override;

 private:
  HWND window_;
};
