#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/shell_presence.h"
#include "app/tray_icon.h"
#include "platform/controls.h"
#include "platform/win32/check_box_mirror.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/handles.h"
#include "platform/win32/session_notifications.h"
#include "platform/win32/window_system.h"

// The program's one window, the view of the Application: options, script box,
// window list, buttons, help text, status bar and tray icon. It creates the
// controls, lays them out for the DPI of the monitor it stands on (from a
// layout given at 96 DPI), realises Controls, the script box and the window
// list over them, and turns its messages into calls on the Application.
class MainWindow : public Controls {
 public:
  MainWindow() = default;
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, hidden. False when that failed.
  bool create(HINSTANCE instance);
  // The Application the window's messages go to; before show().
  void attach(Application& application) { application_ = &application; }
  // Puts the icon into the notification area, writes the help text and shows
  // the window.
  void show(int showCommand);

  HWND hwnd() const { return hwnd_; }
  // A control by its identifier, wherever it stands in the window.
  HWND control(int id) const;
  ScriptBox& scriptBox() { return *scriptBox_; }
  WindowListBox& windowList() { return *windowList_; }
  const std::atomic<bool>& loopOption() const { return loopOption_->checked(); }

  // Controls: the options, messages and timer as the logic sees them.
  bool isChecked(CheckBox box) override;
  void uncheck(CheckBox box) override;
  void showError(const std::wstring& text) override;
  void setStatusText(StatusPanel panel, const std::wstring& text) override;
  std::wstring sensitivityText() override;
  void setTimerPeriod(std::int32_t ms) override;
  void minimiseWindow() override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void CALLBACK onForegroundEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                         DWORD thread, DWORD time);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  void applyDpi(UINT dpi);
  // Places the controls for the client area and DPI the window has now.
  void layOutControls();
  // Gives 标签3 the largest font, up to this one, in which the help text fits.
  void fitHelpText(LOGFONTW font);
  void onFilesDropped(HDROP drop);
  void onCommand(int id, int notification);
  void readSensitivity();
  void onTimerTick();
  // Asks the shell again every two seconds while it still refuses something.
  void keepAskingTheShell();
  // The window comes to the front, restored if it was minimised.
  void comeForward();
  // The user closes the window: the process ends within about a second.
  [[noreturn]] void closeProgram();
  void onWindowDestroyed();

  Application* application_ = nullptr;
  HWND hwnd_ = nullptr;
  std::map<int, HWND> controlWindows_;
  std::wstring sensitivity_;
  UINT dpi_ = 96;
  FontHandle defaultFont_;
  FontHandle 标签2Font_;
  FontHandle helpFont_;  // of 标签3
  BrushHandle whiteBrush_;
  IconHandle bigIcon_;
  IconHandle smallIcon_;
  std::unique_ptr<TrayIcon> trayIcon_;
  std::unique_ptr<Win32SessionNotifications> sessions_;
  std::unique_ptr<ShellPresence> shell_;  // the tray icon and the session notifications
  UINT taskbarCreatedMessage_ = 0;
  UINT comeForwardMessage_ = 0;  // from a second copy
  std::wstring statusTexts_[2];  // as last set, so that an unchanged text is not redrawn
  // Made with the window.
  std::unique_ptr<Subclass> groupBoxes_[2];
  std::unique_ptr<EditScriptBox> scriptBox_;
  std::unique_ptr<ComboWindowListBox> windowList_;
  std::unique_ptr<CheckBoxMirror> loopOption_;  // 选择框2, "循环执行脚本", for the player's thread
  std::unique_ptr<WindowTimer> 时钟1_;          // the idle timer of the tray icon
  std::unique_ptr<WindowTimer> watchdogTimer_;  // the hooks' watchdog looks once a second
  std::unique_ptr<WindowTimer> shellTimer_;     // while the shell refuses the icon or the notifications
  WinEventHookHandle foregroundEvents_;         // for the hooks' watchdog
};
