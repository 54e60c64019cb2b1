#include "platform/win32/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/handles.h"

namespace {

// How long a second copy waits for the running one to answer.
constexpr UINT kComeForwardPatienceMs = 2000;
// How long it waits for the running one to show its window, which a copy
// started a moment before it has not done yet, and how often it looks.
constexpr ULONGLONG kShownPatienceMs = 5000;
constexpr DWORD kLookEveryMs = 100;

// The part after the last backslash or slash, folded to upper case.
std::wstring upperFileName(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

std::vector<RunningProcess> Win32Processes::runningProcesses() {
  std::vector<RunningProcess> processes;
  KernelHandle snapshot = adoptFile(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return processes;

  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    RunningProcess process{upperFileName(entry.szExeFile), std::nullopt};
    // Refused for processes we may not query, such as other users' ones.
    DWORD session = 0;
    if (ProcessIdToSessionId(entry.th32ProcessID, &session)) process.session = session;
    processes.push_back(std::move(process));
  }
  return processes;
}

std::uint32_t Win32Processes::ownSession() {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return session;
}

InstanceClaim Win32Processes::claimInstance(const std::wstring& executableName) {
  // Object names are case-sensitive and at most MAX_PATH characters long; a
  // file name holds no backslash, which would stand for a namespace.
  std::wstring name = L"Local\\Tamsik.SingleInstance." + executableName;
  if (name.size() >= MAX_PATH) name.resize(MAX_PATH - 1);
  KernelHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
  const DWORD error = GetLastError();
  if (mutex && error == ERROR_ALREADY_EXISTS) return InstanceClaim::heldByAnother;
  if (mutex) {
    claim_ = std::move(mutex);
    return InstanceClaim::claimed;
  }
  // An existing mutex that grants us too little, as one made by an elevated
  // copy in the same session does.
  if (error == ERROR_ACCESS_DENIED) return InstanceClaim::heldByAnother;
  return InstanceClaim::unavailable;
}

std::wstring Win32Processes::ownExecutableName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer means the path was cut short.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return upperFileName(path);
}

HWND Win32Processes::shownMainWindowOfAnother() const {
  const DWORD own = GetCurrentProcessId();
  // Our own main window has that class too, hidden still.
  for (HWND window = FindWindowExW(nullptr, nullptr, mainWindowClass_.c_str(), nullptr); window;
       window = FindWindowExW(nullptr, window, mainWindowClass_.c_str(), nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != own && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

void Win32Processes::bringRunningCopyForward() {
  if (mainWindowClass_.empty()) return;
  const UINT message = RegisterWindowMessageW(comeForwardMessage_.c_str());
  if (message == 0) return;
  HWND window = shownMainWindowOfAnother();
  for (const ULONGLONG until = GetTickCount64() + kShownPatienceMs; !window && GetTickCount64() < until;) {
    // Messages sent to our own hidden window meanwhile are answered: a
    // broadcast waits for every top-level window.
    MsgWaitForMultipleObjectsEx(0, nullptr, kLookEveryMs, QS_SENDMESSAGE, 0);
    MSG sent;
    PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    window = shownMainWindowOfAnother();
  }
  if (!window) return;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  // The running copy may take the foreground only if we, whom the user
  // has just started, pass our right to it on; it restores and raises
  // itself, which a copy of a lower integrity level could not do to it.
  AllowSetForegroundWindow(process);
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, kComeForwardPatienceMs, &answer);
}
