#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <memory>

#include "app/application.h"
#include "app/win32/control_table.h"
#include "app/win32/controls_view.h"
#include "app/win32/system_events.h"
#include "app/win32/window_look.h"

// The program's one window, the view of the Application: it is made with its
// controls (ControlTable), looks as its monitor's DPI asks (WindowLook), lets
// the logic read and set them (ControlsView), hears the system
// (SystemEvents), and turns its messages into calls on the Application.
class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, hidden. False when that failed.
  bool create(HINSTANCE instance);
  // The Application the window's messages go to; before show().
  void attach(Application& application) { application_ = &application; }
  // Puts the icon into the notification area, writes the help text and shows
  // the window.
  void show(int showCommand);
  // The window goes now, letting go of what the Application holds.
  void destroy() { hwnd_.reset(); }

  HWND hwnd() const { return hwnd_.get(); }
  // A control by its identifier, wherever it stands in the window.
  HWND control(int id) const { return controls_.get(id); }
  Controls& controls() { return *view_; }
  ScriptBox& scriptBox() { return controls_.scriptBox(); }
  WindowListBox& windowList() { return controls_.windowList(); }
  const std::atomic<bool>& loopOption() const { return controls_.loopOption(); }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int notification);
  void onFilesDropped(HDROP drop);
  // The one way out, whichever way the window goes: the hooks, the icon and
  // the runs are let go of, each given part of one patience. False when a
  // run did not end within it.
  bool shutDown();

  Application* application_ = nullptr;
  OwnedWindow hwnd_;
  ControlTable controls_;
  // Made with the window.
  std::unique_ptr<ControlsView> view_;
  std::unique_ptr<WindowLook> look_;
  // Made as the window is shown.
  std::unique_ptr<SystemEvents> events_;
  bool shutDown_ = false;
};
