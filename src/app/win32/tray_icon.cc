#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <iterator>

namespace {

constexpr UINT kTrayIconId = 1;

}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon)
    : owner_(owner), callbackMessage_(callbackMessage), icon_(icon) {}

bool TrayIcon::add(const std::wstring& tip) { return notify(NIM_ADD, tip); }

bool TrayIcon::modify(const std::wstring& tip) { return notify(NIM_MODIFY, tip); }

bool TrayIcon::remove() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

bool TrayIcon::notify(DWORD message, const std::wstring& tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, tip.c_str(), static_cast<int>(std::size(data.szTip)));
  return Shell_NotifyIconW(message, &data) != FALSE;
}
