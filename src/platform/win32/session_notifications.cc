#include "platform/win32/session_notifications.h"

#include <wtsapi32.h>

// Before the Remote Desktop services are up, the registration fails with
// RPC_S_INVALID_BINDING; the caller asks again later.
bool Win32SessionNotifications::subscribe() {
  return WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void Win32SessionNotifications::unsubscribe() { WTSUnRegisterSessionNotification(window_); }
