#pragma once

#include <windows.h>

#include <string>

// A Wine notepad at a known place with a title of our own, so that xdotool
// finds it. Ended with the object.
class Notepad {
 public:
  // Places the window's top-left corner at (x, y).
  explicit Notepad(int x = 560, int y = 100);
  ~Notepad();
  Notepad(const Notepad&) = delete;
  Notepad& operator=(const Notepad&) = delete;

  std::wstring title() const;

  // Foreground, keyboard focus and the pointer over the edit area, so that
  // X keys reach it.
  bool focus();

  POINT pointInEdit(int x, int y) const;
  std::wstring text() const;
  void clear() const;

  HWND window = nullptr;
  HWND edit = nullptr;

 private:
  HANDLE process_ = nullptr;
};
