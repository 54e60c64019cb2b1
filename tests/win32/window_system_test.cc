#include "platform/win32/window_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "app/texts.h"
#include "desktop/window_list.h"
#include "platform/window_system_contract.h"
#include "support/wine_desktop.h"

namespace {

// Real top-level windows of this process, destroyed with the factory.
struct Win32WindowSystemFactory {
  ~Win32WindowSystemFactory() {
    for (HWND window : windows) DestroyWindow(window);
  }
  WindowSystem& system() { return realSystem; }
  WindowHandle add(const std::wstring& title, bool visible) {
    HWND window = CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW, 20, 20, 200, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (visible) ShowWindow(window, SW_SHOWNOACTIVATE);
    windows.push_back(window);
    return toWindowHandle(window);
  }
  bool bringToFront(WindowHandle window) {
    return SetForegroundWindow(toHwnd(window)) &&
           pumpUntil([&] { return GetForegroundWindow() == toHwnd(window); });
  }

  std::vector<HWND> windows;
  Win32WindowSystem realSystem;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowSystemContract, Win32WindowSystemFactory);

// The system calls a window hung once its thread has taken no message for
// 5 s, and no longer once it takes them again.
TEST(Win32WindowSystemTest, AWindowWhoseThreadTakesNoMessagesForFiveSecondsIsHung) {
  std::atomic<HWND> window{nullptr};
  std::atomic<bool> answering{false};
  std::thread owner([&] {
    HWND created = CreateWindowExW(0, L"STATIC", L"busy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 100, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    pumpPending();
    window = created;
    Sleep(6500);
    answering = true;
    pumpUntil([&] { return window.load() == nullptr; }, std::chrono::seconds(10));
    DestroyWindow(created);
  });
  while (!window.load()) Sleep(1);
  Win32WindowSystem windows;
  const WindowHandle busy = toWindowHandle(window.load());
  EXPECT_FALSE(windows.isHung(busy)) << "at first";
  Sleep(6000);
  EXPECT_TRUE(windows.isHung(busy)) << "after 6 s without a message";
  while (!answering.load()) Sleep(1);
  EXPECT_TRUE(waitUntil("the window to answer again", [&] { return !windows.isHung(busy); }));
  window = nullptr;
  owner.join();
}

namespace {

// Top-level windows of this test, destroyed with it.
class WindowListWin32Test : public testing::Test {
 protected:
  ~WindowListWin32Test() override {
    for (HWND window : windows) DestroyWindow(window);
  }

  HWND topLevel(const std::wstring& title, bool visible) {
    HWND window = CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW, 20, 20, 200, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (visible) ShowWindow(window, SW_SHOWNOACTIVATE);
    windows.push_back(window);
    return window;
  }

  // The entries of the list whose text is `title`.
  std::vector<HWND> listed(const std::wstring& title) {
    std::vector<HWND> found;
    for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
      std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      LRESULT length = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<std::size_t>(length));
      auto handle = static_cast<WindowHandle>(SendMessageW(combo, CB_GETITEMDATA, i, 0));
      if (text == title) found.push_back(toHwnd(handle));
    }
    return found;
  }

  std::vector<HWND> windows;
  HWND owner = topLevel(L"", false);
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 200, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  Win32WindowSystem system;
  ComboWindowListBox list{combo};
  const std::wstring title = L"记事本 窗口测试 " + std::to_wstring(GetCurrentProcessId());
};

// Hiding a window costs Wine seconds without a window manager, so one set of
// windows serves the listing and the foreground test alike.
TEST_F(WindowListWin32Test, ListsEachVisibleTitledWindowWithItsOwnHandleAndMatchesThatHandle) {
  HWND first = topLevel(title, true);
  HWND second = topLevel(title, true);
  topLevel(title + L" hidden", false);
  topLevel(L"", true);
  refreshWindowList(system, list);

  std::vector<HWND> found = listed(title);
  std::sort(found.begin(), found.end());
  std::vector<HWND> expected{first, second};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  EXPECT_TRUE(listed(title + L" hidden").empty());
  EXPECT_EQ(listed(texts::kAllWindows), std::vector<HWND>{nullptr});
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);

  ASSERT_TRUE(SetForegroundWindow(second));
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == second; }));
  EXPECT_FALSE(isTargetWindowInFront(system, list)) << "所有窗口 is never in front";
  for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
    HWND entry = toHwnd(static_cast<WindowHandle>(SendMessageW(combo, CB_GETITEMDATA, i, 0)));
    if (entry != first && entry != second) continue;
    list.select(i);
    EXPECT_EQ(isTargetWindowInFront(system, list), entry == second);
  }
  list.select(-1);
  EXPECT_FALSE(isTargetWindowInFront(system, list));
  EXPECT_EQ(list.valueAt(-1), std::nullopt);
  EXPECT_EQ(list.valueAt(static_cast<std::int32_t>(SendMessageW(combo, CB_GETCOUNT, 0, 0))), std::nullopt);
}

TEST_F(WindowListWin32Test, HandlesSurviveTheirTripThroughThirtyTwoBits) {
  HWND window = topLevel(title, false);
  EXPECT_EQ(toHwnd(toWindowHandle(window)), window);
  EXPECT_EQ(toHwnd(0), nullptr);
  EXPECT_EQ(readWindowTitle(system, toWindowHandle(window)), title);
}

}  // namespace
