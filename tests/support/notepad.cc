#include "support/notepad.h"

#include "support/wine_desktop.h"

using namespace std::chrono_literals;

Notepad::Notepad(int x, int y) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  wchar_t command[] = L"notepad.exe";
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pumpUntil([&] {
    for (HWND w = FindWindowW(L"Notepad", nullptr); w; w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == info.dwProcessId && IsWindowVisible(w)) window = w;
    }
    return window != nullptr;
  }, 20s);
  if (!window) return;
  edit = FindWindowExW(window, nullptr, L"Edit", nullptr);
  SetWindowTextW(window, title().c_str());
  SetWindowPos(window, nullptr, x, y, 500, 400, SWP_NOZORDER);
}

Notepad::~Notepad() {
  if (!process_) return;
  TerminateProcess(process_, 0);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
}

std::wstring Notepad::title() const { return L"tamsik-e2e-notepad-" + std::to_wstring(GetProcessId(process_)); }

bool Notepad::focus() {
  const std::wstring toMiddle = mouseMove(pointInEdit(200, 150));
  auto inFront = [&] { return pumpUntil([&] { return GetForegroundWindow() == window; }, 3s); };
  // Wine now and then misses the X focus moving from one of its windows to
  // another; a second try, or a click, settles it.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (xdotool(L"search --sync --onlyvisible --name ^" + title() + L"$ windowfocus --sync") == 0 &&
        xdotool(toMiddle) == 0 && inFront()) {
      return true;
    }
  }
  return xdotool(toMiddle + L" click 1") == 0 && inFront();
}

POINT Notepad::pointInEdit(int x, int y) const { return clientToScreen(edit, {x, y}); }

std::wstring Notepad::text() const { return windowText(edit); }

void Notepad::clear() const { SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"")); }
