#include "platform/win32/input_desktop.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace {

struct CloseDesktopHandle {
  void operator()(HDESK desktop) const { CloseDesktop(desktop); }
};
using DesktopHandle = std::unique_ptr<std::remove_pointer_t<HDESK>, CloseDesktopHandle>;

std::wstring desktopName(HDESK desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof name[0], &needed)) return {};
  return name;
}

}  // namespace

bool Win32InputDesktop::isOurs() {
  DesktopHandle input(OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS));
  if (!input) return false;
  // Our thread's desktop needs no closing.
  const std::wstring ours = desktopName(GetThreadDesktop(GetCurrentThreadId()));
  return !ours.empty() && _wcsicmp(desktopName(input.get()).c_str(), ours.c_str()) == 0;
}
