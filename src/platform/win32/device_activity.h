#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/device_activity.h"
#include "platform/win32/message_window.h"

// The keyboard's raw input, sent to a message-only window on the thread that
// makes this, also while another program has the focus (RIDEV_INPUTSINK).
// One message per key, which the thread takes between its others.
class Win32KeyboardActivity : public KeyboardActivity, private MessageTarget {
 public:
  Win32KeyboardActivity();
  ~Win32KeyboardActivity() override;
  Win32KeyboardActivity(const Win32KeyboardActivity&) = delete;
  Win32KeyboardActivity& operator=(const Win32KeyboardActivity&) = delete;

  std::uint32_t lastKeyTick() override { return lastKeyTick_; }
  // False when the system refused the registration: then no key is seen.
  bool listening() const { return listening_; }

 private:
  std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  OwnedWindow window_;
  bool listening_ = false;
  std::uint32_t lastKeyTick_ = 0;
};

// The integrity level of a window's process, from the mandatory label of its
// token, against the level of this process.
class Win32IntegrityLevels : public IntegrityLevels {
 public:
  Win32IntegrityLevels();
  bool isAboveOurs(WindowHandle window) override;

 private:
  DWORD ownLevel_;
};
