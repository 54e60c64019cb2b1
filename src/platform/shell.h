#pragma once

#include <string>

// The shell's notification area, holding the program's one icon for the main
// window. Each call may wait for the shell to answer. Window thread, or one
// thread at a time once the window thread is done with it.
class NotificationArea {
 public:
  virtual ~NotificationArea() = default;
  // Puts the icon in with this tip. False when the shell refused: it is not
  // up yet, or it has the icon already.
  virtual bool add(const std::wstring& tip) = 0;
  // Gives the icon that is there the current image and this tip. False when
  // the shell is not up or has no such icon.
  virtual bool modify(const std::wstring& tip) = 0;
  virtual bool remove() = 0;
};

// The session's changes (lock, unlock) as messages to the main window.
// Window thread.
class SessionNotifications {
 public:
  virtual ~SessionNotifications() = default;
  // False when the system's session services are not up yet.
  virtual bool subscribe() = 0;
  // Only after a subscribe() that succeeded.
  virtual void unsubscribe() = 0;
};
