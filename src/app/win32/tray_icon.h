#pragma once

#include <windows.h>

#include <string>

#include "platform/shell.h"

// The program's icon in the notification area, through Shell_NotifyIconW.
// Mouse actions on it reach the owner window as `callbackMessage`.
class TrayIcon : public NotificationArea {
 public:
  TrayIcon(HWND owner, UINT callbackMessage, HICON icon);

  // The image that the next add or modify gives the shell; the old one may
  // be destroyed after that.
  void setImage(HICON icon) { icon_ = icon; }

  bool add(const std::wstring& tip) override;
  bool modify(const std::wstring& tip) override;
  bool remove() override;

 private:
  bool notify(DWORD message, const std::wstring& tip);

  HWND owner_;
  UINT callbackMessage_;
  HICON icon_;
};
