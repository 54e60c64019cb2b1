#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

// What takes the messages of a message-only window: the object that made the
// window on its thread, and that destroys it before it goes.
class MessageTarget {
 public:
  // The result of a message it handled; DefWindowProcW has the others.
  virtual std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~MessageTarget() = default;
};

// A message-only window on the calling thread, whose messages go to the
// target from the first one on. Posted messages reach it also while the
// thread runs a modal loop (a message box, a file dialog, a window being
// moved). Empty when the system refused it.
OwnedWindow createMessageWindow(MessageTarget& target);
