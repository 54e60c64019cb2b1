#pragma once

// Helpers for tests that run under Wine on the harness's X display: pumping
// messages while waiting, and driving real X input with xdotool.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// Pumps this thread's messages until done() holds or the time is up; hooks
// and cross-thread reads need the pumping.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));
// The messages already waiting, and no more.
void pumpPending();
// A fixed time, for what must NOT happen within it; an effect is waited for
// with pumpUntil or waitUntil.
void pumpFor(std::chrono::milliseconds time);
// pumpUntil, and when the time is up, says on stderr what it waited for and
// how long, so that a test's failure names the effect that never came.
bool waitUntil(const std::string& what, const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A Linux program started from this Wine process and waited for while
// pumping, since it usually makes input that this thread's hooks must see.
// Wine starts Linux programs but hands out no process handle for them, so a
// shell around the command leaves the exit code in a file when it is done.
class LinuxCommand {
 public:
  explicit LinuxCommand(const std::wstring& command);
  LinuxCommand(const LinuxCommand&) = delete;
  LinuxCommand& operator=(const LinuxCommand&) = delete;
  ~LinuxCommand();

  // The exit code, or -1 when the command did not start or end in time.
  int wait(std::chrono::milliseconds timeout = std::chrono::seconds(15));

 private:
  std::wstring donePath_;
  bool started_ = false;
};

// Runs xdotool with the arguments; its exit code.
int xdotool(const std::wstring& arguments);
// xdotool's arguments that put the pointer on a point of the screen.
std::wstring mouseMove(POINT to);
// Moves the pointer and waits until Wine sees it there: xdotool's own --sync
// would wait forever when the pointer is there already.
bool movePointer(POINT to);
// A window of this process in the foreground, the keyboard focus in `focus`
// and the pointer on `pointer`, so that X keys reach it: Wine follows X's
// focus with its foreground window (the window is found by its title), and
// without a window manager X sends keys to the window under the pointer.
// Says on stderr which step failed.
bool bringToFront(HWND window, HWND focus, POINT pointer);

// The middle of a window, on the screen.
POINT middleOf(HWND hwnd);
POINT clientToScreen(HWND hwnd, POINT point);
// A child window's rectangle in its parent's client area.
RECT rectInParent(HWND child);

// SendMessage that gives up after 10 s, saying on stderr what it sent where;
// 0 then.
LRESULT sendWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, const char* what);

// A window's text, in this process or another: GetWindowText reads only the
// caption of another process's window, an edit control's text is asked for.
std::wstring windowText(HWND hwnd);
std::wstring className(HWND hwnd);

// A file's bytes; empty when it cannot be read.
std::string fileBytes(const std::filesystem::path& path);

// A directory of its own under the temporary directory, emptied first and
// removed with the object.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::wstring& name);
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};
