#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/run_state.h"
#include "app/tray_icon.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/win32/edit_script_box.h"

// The program's one window: options, script box, window list, buttons, help
// text and status bar. Its layout is given at 96 DPI and scaled to the DPI of
// the monitor it stands on.
class MainWindow : private InputListener {
 public:
  MainWindow(RunState& state, Processes& processes, InputHooks& hooks);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls and runs the window-created handler,
  // which ends the process when another copy is running. Shows the window.
  bool create(HINSTANCE instance, int showCommand);

  HWND hwnd() const { return hwnd_; }
  // A control by its identifier, wherever it stands in the window.
  HWND control(int id) const;
  ScriptBox& scriptBox() { return *scriptBox_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  void onWindowCreated();
  void onWindowDestroyed();
  void onCommand(int id, int notification);
  void applyDpi(UINT dpi);
  void refreshWindowList();
  void setStatusText(int panel, const std::wstring& text);

  // InputListener: the hooks' events, on this thread.
  void onKey(const KeyEvent& event) override;
  void onMouse(const MouseEvent& event) override;

  RunState& state_;
  Processes& processes_;
  InputHooks& hooks_;

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HFONT defaultFont_ = nullptr;
  HFONT 标签2Font_ = nullptr;
  HBRUSH whiteBrush_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::unique_ptr<EditScriptBox> scriptBox_;
  std::unique_ptr<TrayIcon> trayIcon_;
  UINT taskbarCreatedMessage_ = 0;
};
