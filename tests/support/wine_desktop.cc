#include "support/wine_desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace std::chrono_literals;

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= 0ms) return false;
    const auto wait = std::min(std::chrono::duration_cast<std::chrono::milliseconds>(left), 50ms);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait.count()), QS_ALLINPUT);
  }
}

void pumpPending() {
  pumpUntil([] { return true; }, 0ms);
}

void pumpFor(std::chrono::milliseconds time) {
  pumpUntil([] { return false; }, time);
}

bool waitUntil(const std::string& what, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  if (pumpUntil(done, timeout)) return true;
  std::fprintf(stderr, "gave up after %lld ms waiting for %s\n", static_cast<long long>(timeout.count()), what.c_str());
  return false;
}

LinuxCommand::LinuxCommand(const std::wstring& command) {
  // Wine reuses its small process ids from run to run: the counter makes
  // the name unique.
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::wstring done = L"/tmp/tamsik-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(now.QuadPart);
  donePath_ = L"Z:" + done;  // Z: is the prefix's drive for /
  std::wstring commandLine = L"/bin/sh -c \"" + command + L"; echo $? >" + done + L".part; mv " + done +
                             L".part " + done + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
}

LinuxCommand::~LinuxCommand() { DeleteFileW(donePath_.c_str()); }

int LinuxCommand::wait(std::chrono::milliseconds timeout) {
  if (!started_) return -1;
  HANDLE file = INVALID_HANDLE_VALUE;
  pumpUntil(
      [&] {
        file = CreateFileW(donePath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        return file != INVALID_HANDLE_VALUE;
      },
      timeout);
  if (file == INVALID_HANDLE_VALUE) return -1;
  char text[16] = {};
  DWORD read = 0;
  ReadFile(file, text, sizeof text - 1, &read, nullptr);
  CloseHandle(file);
  return std::atoi(text);
}

int xdotool(const std::wstring& arguments) { return LinuxCommand(L"timeout 10 xdotool " + arguments).wait(); }

std::wstring mouseMove(POINT to) { return L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y); }

bool movePointer(POINT to) {
  if (xdotool(mouseMove(to)) != 0) return false;
  return pumpUntil([to] {
    POINT at{};
    return GetCursorPos(&at) && at.x == to.x && at.y == to.y;
  });
}

bool bringToFront(HWND window, HWND focus, POINT pointer) {
  if (xdotool(L"search --sync --onlyvisible --name ^" + windowText(window) + L"$ windowfocus --sync") != 0) {
    std::fprintf(stderr, "xdotool could not focus the window\n");
    return false;
  }
  if (!movePointer(pointer)) {
    std::fprintf(stderr, "the pointer did not come to %ld,%ld\n", pointer.x, pointer.y);
    return false;
  }
  SetForegroundWindow(window);
  SetFocus(focus);
  if (pumpUntil([&] { return GetForegroundWindow() == window && GetFocus() == focus; })) return true;
  std::fprintf(stderr, "foreground %p, focus %p\n", static_cast<void*>(GetForegroundWindow()),
               static_cast<void*>(GetFocus()));
  return false;
}

POINT middleOf(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT clientToScreen(HWND hwnd, POINT point) {
  ClientToScreen(hwnd, &point);
  return point;
}

RECT rectInParent(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LRESULT sendWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, const char* what) {
  constexpr UINT kBoundMs = 10'000;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kBoundMs, &result)) {
    std::fprintf(stderr, "no answer within %u ms to %s from window %p\n", kBoundMs, what, static_cast<void*>(hwnd));
    return 0;
  }
  return static_cast<LRESULT>(result);
}

std::wstring windowText(HWND hwnd) {
  auto length = static_cast<std::size_t>(sendWithin(hwnd, WM_GETTEXTLENGTH, 0, 0, "WM_GETTEXTLENGTH"));
  std::wstring text(length + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      sendWithin(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), "WM_GETTEXT")));
  return text;
}

std::wstring className(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  return name;
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TemporaryDirectory::TemporaryDirectory(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::filesystem::path(temp) / (name + L"-" + std::to_wstring(GetCurrentProcessId()));
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
