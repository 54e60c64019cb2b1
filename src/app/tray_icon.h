#pragma once

#include <windows.h>

#include <string>

// The program's icon in the notification area. Mouse actions on it reach the
// owner window as `callbackMessage`.
class TrayIcon {
 public:
  TrayIcon(HWND owner, UINT callbackMessage, HICON icon);
  ~TrayIcon() { remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon or replaces the one that is there; sets the tip when one is
  // given and keeps the previous tip otherwise.
  void set(const wchar_t* tip);
  // A new image, for one at another DPI; the old one may be destroyed after.
  void setIcon(HICON icon);
  void remove();
  // The taskbar was recreated and has forgotten the icon: add it again.
  void restore();

 private:
  HWND owner_;
  UINT callbackMessage_;
  HICON icon_;
  bool added_ = false;
  std::wstring tip_;
};
