#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/player_runs.h"
#include "app/run_state.h"
#include "app/tray_icon.h"
#include "input/hook_watchdog.h"
#include "input/hot_keys.h"
#include "input/own_input.h"
#include "input/recorder.h"
#include "platform/controls.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/win32/check_box_mirror.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/input_injector.h"
#include "platform/win32/script_files.h"
#include "platform/win32/system.h"
#include "platform/win32/win32_waiter.h"
#include "platform/win32/window_system.h"
#include "platform/window_thread.h"
#include "script/player.h"
#include "script/published_script.h"

// The program's one window: options, script box, window list, buttons, help
// text and status bar. Its layout is given at 96 DPI and scaled to the DPI of
// the monitor it stands on.
class MainWindow : private InputListener, public Controls {
 public:
  // windowThread: the helper of the thread that calls create().
  MainWindow(RunState& state, Processes& processes, InputHooks& hooks, WindowThread& windowThread);
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
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void createControls();
  void onWindowCreated();
  // The user closes the window: the process ends within about a second.
  [[noreturn]] void closeProgram();
  void onWindowDestroyed();
  void onCommand(int id, int notification);
  void applyDpi(UINT dpi);
  void refreshWindowList();
  bool isTargetWindowInFront();
  void openScriptFile();
  void saveScriptFile();
  void onTimerTick();

  // InputListener: the hooks' events, on this thread.
  void onKey(const KeyEvent& event) override;
  void onMouse(const MouseEvent& event) override;

  RunState& state_;
  Processes& processes_;
  InputHooks& hooks_;
  WindowThread& windowThread_;

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
  std::wstring statusTexts_[2];  // as last set, so that an unchanged text is not redrawn

  Win32TickClock clock_;
  Win32LastInputClock lastInput_;
  Win32CursorPosition cursor_;
  Win32Sounds sounds_;
  Win32InputInjector injector_;
  OwnPlacements ownPlacements_{clock_};
  PlacementNotingInjector playerInput_{injector_, ownPlacements_};
  Win32WaiterFactory waiters_;
  Win32WindowSystem windowSystem_;
  Win32FileStore fileStore_;
  GbkCodec scriptCodec_;
  // Made once the controls exist.
  std::unique_ptr<ComboWindowListBox> windowList_;
  std::unique_ptr<Win32FileDialogs> fileDialogs_;
  std::unique_ptr<PublishedScript> script_;
  std::unique_ptr<CheckBoxMirror> loopOption_;  // 选择框2, "循环执行脚本", for the player's thread
  std::unique_ptr<ScriptPlayer> player_;
  std::unique_ptr<PlayerRuns> runs_;
  std::unique_ptr<Recorder> recorder_;
  std::unique_ptr<HotKeys> hotKeys_;
  std::unique_ptr<HookWatchdog> watchdog_;
};
