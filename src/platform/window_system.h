#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A window handle as a plain number; 0 is no window. Window handles are 32-bit
// values on 64-bit Windows as well, so they fit and compare as integers.
using WindowHandle = std::uint32_t;

// The top-level windows and the foreground window, as the window list reads
// them. Abstract so that the walk can run over a made-up table of windows.
// Any thread; the window list and the target test use it on the window
// thread.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual WindowHandle desktopWindow() = 0;
  // The first child in Z-order, or 0.
  virtual WindowHandle firstChild(WindowHandle window) = 0;
  // The next window below in Z-order, or 0.
  virtual WindowHandle nextWindow(WindowHandle window) = 0;
  virtual bool isVisible(WindowHandle window) = 0;
  // Visible and yet shown nowhere: since Windows 8 the system cloaks the
  // windows of suspended Store apps and of other virtual desktops. False
  // where the system does not cloak windows.
  virtual bool isCloaked(WindowHandle window) = 0;
  // The title's length in characters, as the system reports it.
  virtual std::int32_t titleLength(WindowHandle window) = 0;
  // Copies at most size - 1 characters of the title into buffer and ends them
  // with a zero; the number of characters copied.
  virtual std::int32_t readTitle(WindowHandle window, wchar_t* buffer, std::int32_t size) = 0;
  virtual WindowHandle foregroundWindow() = 0;
  // The system calls the window's program not responding: it has taken no
  // message for 5 s, or the window is the ghost the system shows in its
  // place. False for no window.
  virtual bool isHung(WindowHandle window) = 0;
};

// The drop-down list of windows (组合框): a text and a number per entry.
// Window thread.
class WindowListBox {
 public:
  virtual ~WindowListBox() = default;
  virtual void removeAll() = 0;
  virtual void append(const std::wstring& text, std::uint32_t value) = 0;
  // -1 selects nothing.
  virtual void select(std::int32_t index) = 0;
  // -1 when nothing is selected.
  virtual std::int32_t selectedIndex() = 0;
  // The number of entry `index`; nothing for an index outside the list.
  virtual std::optional<std::uint32_t> valueAt(std::int32_t index) = 0;
};
