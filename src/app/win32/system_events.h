#pragma once

#include <windows.h>

#include <memory>
#include <thread>

#include "app/application.h"
#include "app/shell_presence.h"
#include "app/win32/tray_icon.h"
#include "platform/win32/handles.h"
#include "platform/win32/session_notifications.h"

// What the system tells the main window beyond its own controls: the tray
// icon and its clicks, a taskbar made anew, a second copy asking the window
// to come forward, the session's locks and unlocks, sleep and resume, and
// each change of the foreground window; and the timers that go with them:
// 时钟1's ticks for the icon's tip, the hooks' watchdog, and the retries of
// what the shell refused. Window thread.
class SystemEvents {
 public:
  // Listens from now on; the icon goes into the notification area.
  SystemEvents(HWND window, Application& application, HICON icon);
  ~SystemEvents();
  SystemEvents(const SystemEvents&) = delete;
  SystemEvents& operator=(const SystemEvents&) = delete;

  // True when the message was one of these; result is then the answer.
  bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The window's icon is another one now (another DPI).
  void iconChanged(HICON icon);

  // The close: nothing more is listened to, and the icon and the session
  // notifications go on a thread of their own, since the shell answers when
  // it gets round to it (Wine's tray without a window manager takes 2 s to
  // hide itself first). Then waitForShell() gives that thread what is left
  // of the close's patience.
  void stopListening();
  void waitForShell(DWORD patienceMs);

 private:
  static void CALLBACK onForegroundEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                         DWORD thread, DWORD time);
  void onSessionChange(WPARAM change);
  void onTimer(UINT_PTR id);
  // Asks the shell again every two seconds while it still refuses something.
  void keepAskingTheShell();
  // The window comes to the front, restored if it was minimised.
  void comeForward();

  HWND window_;
  Application& application_;
  UINT taskbarCreatedMessage_;
  UINT comeForwardMessage_;  // from a second copy
  TrayIcon trayIcon_;
  Win32SessionNotifications sessions_;
  ShellPresence shell_;  // the tray icon and the session notifications
  WindowTimer watchdogTimer_;  // the hooks' watchdog looks once a second
  WindowTimer shellTimer_;     // while the shell refuses the icon or the notifications
  WinEventHookHandle foregroundEvents_;
  KernelHandle shellDone_;
  std::thread shellStop_;
};
