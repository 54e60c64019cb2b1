#include "support/tamsik_process.h"

#include "app/control_ids.h"

#include "support/wine_desktop.h"

#include <commctrl.h>

#include <vector>

namespace {

struct FindContext {
  DWORD processId;
  const std::wstring& windowClass;
  HWND found;
};

BOOL CALLBACK findWindowOfClass(HWND hwnd, LPARAM param) {
  auto* context = reinterpret_cast<FindContext*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == context->processId && IsWindowVisible(hwnd) && className(hwnd) == context->windowClass) {
    context->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

TamsikProcess::TamsikProcess(const std::wstring& exePath) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

TamsikProcess::~TamsikProcess() {
  if (!process_) return;
  if (running()) {
    if (HWND main = findWindow(kMainWindowClass)) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  }
  CloseHandle(process_);
}

HWND TamsikProcess::findWindow(const std::wstring& windowClass) const {
  FindContext context{id_, windowClass, nullptr};
  EnumWindows(findWindowOfClass, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

HWND TamsikProcess::waitForMainWindow(std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  pumpUntil([&] { return (found = findWindow(kMainWindowClass)) != nullptr || !running(); }, timeout);
  return found;
}

DWORD TamsikProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (!process_) return STILL_ACTIVE;
  pumpUntil([&] { return !running(); }, timeout);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool TamsikProcess::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

HWND findControl(HWND mainWindow, int id) {
  if (HWND direct = GetDlgItem(mainWindow, id)) return direct;
  for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (HWND inner = GetDlgItem(child, id)) return inner;
  }
  return nullptr;
}

std::wstring remoteStatusText(HWND status, int panel) {
  DWORD owner = 0;
  GetWindowThreadProcessId(status, &owner);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner);
  if (!process) return L"<no access>";
  constexpr std::size_t kChars = 512;
  void* remote = VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  LRESULT result = sendWithin(status, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(remote), "SB_GETTEXTW");
  std::vector<wchar_t> local(kChars, L'\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, remote, local.data(), local.size() * sizeof(wchar_t), &read);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return std::wstring(local.data(), LOWORD(result));
}
