#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_platform.h"
#include "platform/window_system.h"

// A made-up desktop: its children in Z-order, each with a title, a
// visibility and whether the system cloaks it (as Windows 8 and later do with
// visible windows of other virtual desktops). Logs the questions asked about
// single windows.
class FakeWindowSystem : public WindowSystem {
 public:
  struct Window {
    std::wstring title;
    bool visible = true;
    bool cloaked = false;
  };

  explicit FakeWindowSystem(CallLog& log) : log_(log) {}

  // Adds a window below all others.
  void add(WindowHandle handle, std::wstring title, bool visible = true, bool cloaked = false) {
    windows[handle] = Window{std::move(title), visible, cloaked};
    zOrder.push_back(handle);
  }
  void close(WindowHandle handle) {
    windows.erase(handle);
    zOrder.erase(std::remove(zOrder.begin(), zOrder.end(), handle), zOrder.end());
  }

  WindowHandle desktopWindow() override { return kDesktop; }
  WindowHandle firstChild(WindowHandle window) override {
    return window == kDesktop && !zOrder.empty() ? zOrder.front() : 0;
  }
  WindowHandle nextWindow(WindowHandle window) override {
    if (next) return next(window);
    auto at = std::find(zOrder.begin(), zOrder.end(), window);
    return at == zOrder.end() || at + 1 == zOrder.end() ? 0 : *(at + 1);
  }
  bool isVisible(WindowHandle window) override {
    log_.push_back("visible " + std::to_string(window));
    return windows.count(window) && windows[window].visible;
  }
  bool isCloaked(WindowHandle window) override {
    log_.push_back("cloaked " + std::to_string(window));
    return windows.count(window) && windows[window].cloaked;
  }
  std::int32_t titleLength(WindowHandle window) override {
    log_.push_back("length " + std::to_string(window));
    std::int32_t length = windows.count(window) ? static_cast<std::int32_t>(windows[window].title.size()) : 0;
    if (betweenLengthAndRead) betweenLengthAndRead(window);
    return length;
  }
  // As GetWindowTextW: copies what fits and ends it with a zero.
  std::int32_t readTitle(WindowHandle window, wchar_t* buffer, std::int32_t size) override {
    log_.push_back("read " + std::to_string(window) + " " + std::to_string(size));
    if (size <= 0) return 0;
    std::wstring title = windows.count(window) ? windows[window].title : L"";
    std::size_t copied = std::min(title.size(), static_cast<std::size_t>(size - 1));
    std::copy_n(title.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<std::int32_t>(copied);
  }
  WindowHandle foregroundWindow() override { return foreground; }
  bool isHung(WindowHandle window) override { return window != 0 && hung.count(window) != 0; }

  static constexpr WindowHandle kDesktop = 0x10010;
  std::map<WindowHandle, Window> windows;
  std::vector<WindowHandle> zOrder;
  WindowHandle foreground = 0;
  // Windows that have taken no message for 5 s.
  std::set<WindowHandle> hung;
  // When set, answers nextWindow() instead of zOrder: a Z-order that changes
  // while it is walked.
  std::function<WindowHandle(WindowHandle)> next;
  // Runs after a title's length is taken and before the title is read.
  std::function<void(WindowHandle)> betweenLengthAndRead;

 private:
  CallLog& log_;
};

// The combo box of windows as a list of entries.
class FakeWindowListBox : public WindowListBox {
 public:
  void removeAll() override {
    entries.clear();
    selected = -1;
  }
  void append(const std::wstring& text, std::uint32_t value) override { entries.emplace_back(text, value); }
  void select(std::int32_t index) override {
    selected = index >= 0 && index < static_cast<std::int32_t>(entries.size()) ? index : -1;
  }
  std::int32_t selectedIndex() override { return selected; }
  std::optional<std::uint32_t> valueAt(std::int32_t index) override {
    if (index < 0 || index >= static_cast<std::int32_t>(entries.size())) return std::nullopt;
    return entries[static_cast<std::size_t>(index)].second;
  }

  std::vector<std::pair<std::wstring, std::uint32_t>> entries;
  std::int32_t selected = -1;
};
