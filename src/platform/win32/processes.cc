#include "platform/win32/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/handles.h"


namespace {

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
  KernelHandle snapshot = adoptFile(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return names;

  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
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
