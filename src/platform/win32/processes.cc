#include "platform/win32/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <type_traits>

namespace {

struct CloseSnapshot {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using SnapshotHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CloseSnapshot>;

// The part after the last backslash or slash, folded to upper case.
std::wstring upperFileName(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

std::vector<std::wstring> Win32Processes::runningExecutableNames() {
  std::vector<std::wstring> names;
  HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (raw == INVALID_HANDLE_VALUE) return names;
  SnapshotHandle snapshot(raw);

  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(raw, &entry); more; more = Process32NextW(raw, &entry)) {
    names.push_back(upperFileName(entry.szExeFile));
  }
  return names;
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
