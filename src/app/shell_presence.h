#pragma once

#include <string>

#include "platform/shell.h"

// The program's icon in the notification area and the main window's session
// notifications. At login the shell may not be up yet and refuse both; what
// it refused is asked for again at each retry() until it is there. The shell
// is called only when the icon or its tip changes: a shell that does not
// answer then holds up the window thread only for such a change. Window
// thread, as NotificationArea.
class ShellPresence {
 public:
  ShellPresence(NotificationArea& area, SessionNotifications& sessions) : area_(area), sessions_(sessions) {}

  // The icon with this tip, and the session's notifications.
  void start(const std::wstring& tip);
  // The icon with this tip, or with the one it has when none is given.
  void apply(const wchar_t* tip);
  // The icon's image is another one now (another DPI).
  void imageChanged();
  // The shell's taskbar was made anew and may have lost the icon.
  void taskbarCreated();
  // Asks again for what the shell refused. True while something is missing.
  bool retry();
  bool missing() const;
  void removeIcon();
  // The icon goes, and the notifications end if they were subscribed to.
  void stop();

 private:
  void showIcon();

  NotificationArea& area_;
  SessionNotifications& sessions_;
  bool iconWanted_ = false;
  std::wstring tip_;
  bool iconShown_ = false;  // the shell took the icon as it is now
  std::wstring shownTip_;
  bool imageStale_ = false;
  bool sessionsWanted_ = false;
  bool subscribed_ = false;
};
