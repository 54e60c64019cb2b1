#include "platform/win32/device_activity.h"

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/window_system.h"

namespace {

constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kKeyboardUsage = 0x06;

// The RID of the mandatory label of the process's token, 0 when it cannot be
// read. An elevated process's token is open to a process of the same account
// that is not elevated; another account's is not.
DWORD integrityLevel(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
  KernelHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return 0;
  std::vector<ULONGLONG> buffer((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return 0;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return 0;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

}  // namespace

Win32KeyboardActivity::Win32KeyboardActivity() {
  window_ = createMessageWindow(*this);
  if (!window_) return;
  RAWINPUTDEVICE keyboard{kGenericDesktopPage, kKeyboardUsage, RIDEV_INPUTSINK, window_.get()};
  listening_ = RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
}

Win32KeyboardActivity::~Win32KeyboardActivity() {
  if (listening_) {
    RAWINPUTDEVICE keyboard{kGenericDesktopPage, kKeyboardUsage, RIDEV_REMOVE, nullptr};
    RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
  }
}

std::optional<LRESULT> Win32KeyboardActivity::onMessage(UINT message, WPARAM, LPARAM) {
  if (message == WM_INPUT) {
    // The key's own moment, not the moment a busy thread came to it; a
    // sender may stamp injected keys in the future.
    const DWORD now = GetTickCount();
    const DWORD stamped = static_cast<DWORD>(GetMessageTime());
    lastKeyTick_ = static_cast<std::int32_t>(now - stamped) >= 0 ? stamped : now;
  }
  // Also for WM_INPUT: the system cleans up after it there.
  return std::nullopt;
}

Win32IntegrityLevels::Win32IntegrityLevels() : ownLevel_(integrityLevel(GetCurrentProcess())) {}

bool Win32IntegrityLevels::isAboveOurs(WindowHandle window) {
  if (window == 0 || ownLevel_ == 0) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(toHwnd(window), &processId);
  if (processId == 0 || processId == GetCurrentProcessId()) return false;
  // The default security descriptor of a process grants access to its own
  // account: a process of another account, or the system's, cannot be
  // opened, and the windows of either are out of our input's reach.
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const DWORD level = integrityLevel(process.get());
  return level == 0 || level > ownLevel_;
}
