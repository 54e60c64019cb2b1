#pragma once

// Owners of what the system hands out: each is released once, by its owner,
// and nothing else in the program releases such a thing by hand.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace handles_detail {

struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
struct Unhook {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct UnhookWinEventHandle {
  void operator()(HWINEVENTHOOK hook) const { UnhookWinEvent(hook); }
};
struct FreeLibraryHandle {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct DestroyWindowHandle {
  void operator()(HWND window) const { DestroyWindow(window); }
};

}  // namespace handles_detail

// An event, timer, thread, file or snapshot handle. Functions that report
// failure with INVALID_HANDLE_VALUE give an empty owner through adoptFile().
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, handles_detail::CloseKernelHandle>;
inline KernelHandle adoptFile(HANDLE handle) {
  return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
// Closes the handle now, for a caller that must know whether that worked
// (a file's last write may fail only there).
inline bool closeNow(KernelHandle& handle) { return !handle || CloseHandle(handle.release()) != FALSE; }

using HookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, handles_detail::Unhook>;
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, handles_detail::DeleteGdiObject>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, handles_detail::DeleteGdiObject>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, handles_detail::DestroyIconHandle>;
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, handles_detail::FreeLibraryHandle>;
using WinEventHookHandle = std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, handles_detail::UnhookWinEventHandle>;
// A window that its owner destroys, on the thread that made it. One that goes
// another way (closed by the user) is let go at its WM_NCDESTROY.
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, handles_detail::DestroyWindowHandle>;

// The device context of a window, or of the screen for no window, from GetDC;
// released on the thread that got it, as ReleaseDC must be.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for as long as the owner lives:
// the one it took the place of is selected again, so that the context never
// goes back holding an object that is about to be deleted.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A subclass procedure on a window, for as long as the owner lives or until
// the window is destroyed. It links in the classic way, through the window
// procedure and GWLP_USERDATA, which the control classes leave to their
// user: SetWindowSubclass finds its data in a window property on every
// message, and under Wine each property lookup is a round trip to the
// server, several per message of a busy control. One subclass per window.
class Subclass {
 public:
  Subclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
  ~Subclass();
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;

  // The window's own procedure, for a subclass procedure to pass a message on.
  static LRESULT callOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Link;
  static LRESULT CALLBACK trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_;
  Link* link_ = nullptr;  // the window's until it is destroyed
};

// A timer of a window, stopped with its owner at the latest.
class WindowTimer {
 public:
  WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
  ~WindowTimer() { stop(); }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  // Starts the timer, or gives a running one the new period.
  void start(UINT periodMs) { running_ = SetTimer(window_, id_, periodMs, nullptr) != 0; }
  void stop() {
    if (running_) KillTimer(window_, id_);
    running_ = false;
  }
  UINT_PTR id() const { return id_; }
  bool running() const { return running_; }

 private:
  HWND window_;
  UINT_PTR id_;
  bool running_ = false;
};
