#include "support/linux_proc.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

std::string readWhole(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::wstring procOf(const std::string& commandLinePart, const std::string& unless) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::wstring result;
  do {
    std::wstring name = found.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::string commandLine = readWhole(L"Z:\\proc\\" + name + L"\\cmdline");
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    if (commandLine.find(commandLinePart) != std::string::npos && commandLine.find(unless) == std::string::npos) {
      result = L"Z:\\proc\\" + name;
    }
  } while (result.empty() && FindNextFileW(search, &found));
  FindClose(search);
  return result;
}

std::wstring procOfProgram(const std::wstring& exePath, const std::string& unless) {
  return procOf(narrow(exePath.substr(exePath.find_last_of(L"\\/"))), unless);
}

double cpuMs(const std::wstring& proc) {
  // The 14th and 15th fields of its stat, in clock ticks of 10 ms.
  std::string stat = readWhole(proc + L"\\stat");
  std::size_t at = stat.rfind(')');
  if (at == std::string::npos) return -1;
  unsigned long long fields[15] = {};
  int field = 2;  // after the name: state is the third field
  for (std::size_t i = at + 2; i < stat.size() && field < 15;) {
    std::size_t end = stat.find(' ', i);
    if (end == std::string::npos) end = stat.size();
    fields[field] = std::strtoull(stat.substr(i, end - i).c_str(), nullptr, 10);
    ++field;
    i = end + 1;
  }
  return static_cast<double>(fields[13] + fields[14]) * 10.0;
}

long residentKb(const std::wstring& proc) {
  const std::string status = readWhole(proc + L"\\status");
  const std::size_t at = status.find("VmRSS:");
  return at == std::string::npos ? -1 : std::strtol(status.c_str() + at + 6, nullptr, 10);
}

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}
