#pragma once

// Without a taskbar, Wine shows notification-area icons as visible children
// of a window of its own, "Wine System Tray".

#include <windows.h>

#include <vector>

inline std::vector<HWND> wineTrayIcons() {
  std::vector<HWND> icons;
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (!tray || !IsWindowVisible(tray)) return icons;
  for (HWND icon = GetWindow(tray, GW_CHILD); icon; icon = GetWindow(icon, GW_HWNDNEXT)) {
    if (IsWindowVisible(icon)) icons.push_back(icon);
  }
  return icons;
}

inline int wineTrayIconCount() { return static_cast<int>(wineTrayIcons().size()); }
