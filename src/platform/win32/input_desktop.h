#pragma once

#include "platform/device_activity.h"

// Ours when the desktop that takes the input can be opened and has the name
// of the desktop this thread runs on. OpenInputDesktop fails with access
// denied for Winlogon's secure desktop, which the lock screen, a UAC prompt
// and Ctrl+Alt+Del put in front.
class Win32InputDesktop : public InputDesktop {
 public:
  bool isOurs() override;
};
