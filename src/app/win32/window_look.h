#pragma once

#include <windows.h>

#include "app/win32/control_table.h"
#include "app/window_layout.h"
#include "platform/win32/handles.h"

// How the main window looks on the monitor it stands on: the controls where
// the layout puts them for its client area, and the fonts and icons, all
// scaled from their sizes at 96 DPI; 标签3 takes the largest font in which
// the help text fits. Window thread.
class WindowLook {
 public:
  WindowLook(HWND window, const ControlTable& controls);
  WindowLook(const WindowLook&) = delete;
  WindowLook& operator=(const WindowLook&) = delete;

  // The window takes the DPI of its monitor and opens at its smallest size.
  void open();
  // WM_DPICHANGED: the window moves to the suggested rectangle and takes the
  // new DPI.
  void dpiChanged(WPARAM wParam, LPARAM lParam);
  // WM_SIZE.
  void resized(WPARAM kind);
  // The smallest the window may be made, for WM_GETMINMAXINFO.
  LayoutSize smallestSize() const;
  // WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC: the brush for a control that
  // paints unlike the others, or nothing.
  HBRUSH colour(HDC dc, HWND control) const;

  // The program's icon at the window's DPI, for the notification area.
  HICON smallIcon() const { return smallIcon_.get(); }

 private:
  void apply(UINT dpi);
  void layOut();
  void fitHelpText(LOGFONTW font);

  HWND window_;
  const ControlTable& controls_;
  UINT dpi_ = kLayoutBaseDpi;
  FontHandle defaultFont_;
  FontHandle 标签2Font_;
  FontHandle helpFont_;  // of 标签3
  BrushHandle whiteBrush_;
  IconHandle bigIcon_;
  IconHandle smallIcon_;
};
