#include "app/tray_icon.h"

#include <shellapi.h>

namespace {

constexpr UINT kTrayIconId = 1;

}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon)
    : owner_(owner), callbackMessage_(callbackMessage), icon_(icon) {}

void TrayIcon::set(const wchar_t* tip) {
  if (tip) tip_ = tip;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(std::size(data.szTip)));
  if (added_ && Shell_NotifyIconW(NIM_MODIFY, &data)) return;
  // An icon the shell still has refuses a second NIM_ADD (as after a
  // TaskbarCreated that did not lose it): then it is modified instead.
  added_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::setIcon(HICON icon) {
  icon_ = icon;
  if (added_) set(nullptr);
}

void TrayIcon::remove() {
  if (!added_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

void TrayIcon::restore() {
  added_ = false;
  set(nullptr);
}
