#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"
#include "support/wine_tray.h"

namespace {

using namespace std::chrono_literals;

struct Expected {
  int id;
  int parent;  // 0: the main window
  const wchar_t* className;
  RECT rect;   // left, top, right, bottom in the parent's client area
  const wchar_t* text;
  int checked;  // -1: not a check box
};

RECT at(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

std::string describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

TEST_F(TamsikE2eTest, ShowsEveryControlInItsInitialState) {
  namespace id = control_id;
  const Expected controls[] = {
      {id::分组框1, 0, L"Button", at(16, 8, 176, 360), L"选项:", -1},
      {id::选择框1, id::分组框1, L"Button", at(12, 21, 142, 16), L"记录鼠标移动轨迹", 1},
      {id::选择框2, id::分组框1, L"Button", at(12, 46, 119, 16), L"循环执行脚本", 0},
      {id::选择框3, id::分组框1, L"Button", at(12, 71, 146, 16), L"记录脚本时,程序最小化", 1},
      {id::选择框4, id::分组框1, L"Button", at(12, 96, 146, 16), L"运行脚本时,程序最小化", 1},
      {id::选择框5, id::分组框1, L"Button", at(12, 121, 144, 16), L"在指定的窗口下运行", 0},
      {id::选择框6, id::分组框1, L"Button", at(12, 146, 128, 16), L"记录键盘动作", 1},
      {id::选择框7, id::分组框1, L"Button", at(12, 171, 128, 16), L"记录鼠标动作", 1},
      {id::标签4, id::分组框1, L"Static", at(12, 196, 85, 16), L"鼠标移动灵敏度", -1},
      {id::编辑框1, id::分组框1, L"Edit", at(110, 195, 20, 16), L"10", -1},
      {id::标签2, id::分组框1, L"Static", at(8, 214, 120, 16), L"程序功能说明", -1},
      {id::标签3, id::分组框1, L"Static", at(16, 233, 136, 92), texts::kHelpText, -1},
      {id::按钮2, id::分组框1, L"Button", at(97, 326, 48, 24), L"清除", -1},
      {id::分组框2, 0, L"Button", at(202, 11, 230, 357), L"脚本框:", -1},
      {id::透明标签1, id::分组框2, L"Static", at(16, 21, 80, 24), L"指定前台窗口:", -1},
      {id::打开脚本按钮, id::分组框2, L"Button", at(12, 55, 58, 24), L"打开脚本", -1},
      {id::保存脚本按钮, id::分组框2, L"Button", at(84, 55, 58, 24), L"保存脚本", -1},
      {id::按钮1, id::分组框2, L"Button", at(157, 54, 57, 24), L"刷新窗口", -1},
      {id::脚本框, id::分组框2, L"Edit", at(9, 96, 210, 253), L"", -1},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(e.text)) + " id " + std::to_string(e.id));
    HWND hwnd = control(e.id);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetParent(hwnd), e.parent ? control(e.parent) : window);
    EXPECT_EQ(className(hwnd), e.className);
    EXPECT_EQ(describe(rectInParent(hwnd)), describe(e.rect));
    EXPECT_EQ(windowText(hwnd), e.text);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    if (e.checked >= 0) {
      EXPECT_EQ(SendMessageW(hwnd, BM_GETCHECK, 0, 0), e.checked ? BST_CHECKED : BST_UNCHECKED);
    }
  }
}

TEST_F(TamsikE2eTest, WindowHasItsTitleSizeAndStartValues) {
  EXPECT_EQ(windowText(window), texts::windowTitle());
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(describe(outer), describe(at(50, 50, 450, 428)));

  HWND combo = control(control_id::组合框);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(GetParent(combo), control(control_id::分组框2));
  RECT comboRect = rectInParent(combo);
  EXPECT_EQ(comboRect.left, 101);
  EXPECT_EQ(comboRect.top, 21);
  EXPECT_EQ(comboRect.right - comboRect.left, 105);
  EXPECT_GE(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1) << "所有窗口 and the windows open at start-up";
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0);

  HWND arrows = control(control_id::编辑框1Arrows);
  ASSERT_NE(arrows, nullptr);
  EXPECT_EQ(SendMessageW(arrows, UDM_GETRANGE, 0, 0), MAKELONG(50, 5));
  EXPECT_EQ(LOWORD(SendMessageW(arrows, UDM_GETPOS, 0, 0)), 10);
  EXPECT_TRUE(GetWindowLongW(control(control_id::编辑框1), GWL_STYLE) & ES_READONLY);

  LONG boxStyle = GetWindowLongW(control(control_id::脚本框), GWL_STYLE);
  EXPECT_TRUE(boxStyle & ES_MULTILINE);
  EXPECT_TRUE(boxStyle & ES_AUTOHSCROLL) << "the script box must not wrap lines";
  EXPECT_FALSE(boxStyle & ES_READONLY);

  HWND status = control(control_id::状态条1);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(GetParent(status), window);
  EXPECT_EQ(className(status), L"msctls_statusbar32");
  EXPECT_EQ(remoteStatusText(status, 1), L"");
}

TEST_F(TamsikE2eTest, MaximisedTheScriptBoxGrowsAndRestoredAllIsAsItWas) {
  namespace id = control_id;
  const int ids[] = {id::分组框1, id::选择框1, id::选择框2, id::选择框3, id::选择框4, id::选择框5, id::选择框6,
                     id::选择框7, id::标签4, id::编辑框1, id::标签2, id::标签3, id::按钮2, id::分组框2,
                     id::透明标签1, id::组合框, id::打开脚本按钮, id::保存脚本按钮, id::按钮1, id::脚本框, id::状态条1};
  const int buttons[] = {id::按钮2, id::打开脚本按钮, id::保存脚本按钮, id::按钮1};
  auto layout = [&] {
    std::map<int, std::string> rects;
    for (int control : ids) rects[control] = describe(rectInParent(this->control(control)));
    // A drop-down list's window takes the height it was given, list included,
    // until the control shrinks it to its field; both are the same layout.
    RECT list = rectInParent(this->control(id::组合框));
    list.bottom = list.top;
    rects[id::组合框] = describe(list);
    RECT outer;
    GetWindowRect(window, &outer);
    rects[0] = describe(outer);
    return rects;
  };
  auto area = [](const RECT& r) { return static_cast<long>(r.right - r.left) * (r.bottom - r.top); };
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME);
  const std::map<int, std::string> before = layout();
  const long boxBefore = area(rectInParent(control(id::脚本框)));

  SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(pumpUntil([&] { return IsZoomed(window) != FALSE; }, 5s));
  EXPECT_GE(area(rectInParent(control(id::脚本框))), 2 * boxBefore);
  RECT client;
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  for (int button : buttons) {
    SCOPED_TRACE(button);
    HWND hwnd = control(button);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT rect, shown, onScreen;
    GetWindowRect(hwnd, &rect);
    EXPECT_TRUE(IntersectRect(&shown, &rect, &client) && EqualRect(&shown, &rect)) << describe(rect);
    EXPECT_TRUE(IntersectRect(&onScreen, &rect, &screen) && EqualRect(&onScreen, &rect)) << describe(rect);
    POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(middle), hwnd) << "nothing covers it";
  }

  SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(pumpUntil([&] { return IsZoomed(window) == FALSE; }, 5s));
  EXPECT_EQ(layout(), before);
}

TEST_F(TamsikE2eTest, ScriptBoxIsWhite) {
  HWND box = control(control_id::脚本框);
  RECT client;
  GetClientRect(box, &client);
  POINT middle{(client.right) / 2, (client.bottom) / 2};
  ClientToScreen(box, &middle);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // The window paints on its own thread, a moment after the request.
  COLORREF colour = 0;
  waitUntil("the box's middle to be painted white", [&] {
    HDC screen = GetDC(nullptr);
    colour = GetPixel(screen, middle.x, middle.y);
    ReleaseDC(nullptr, screen);
    return colour == RGB(255, 255, 255);
  });
  EXPECT_EQ(colour, RGB(255, 255, 255));
}

TEST_F(TamsikE2eTest, PointerMovesShowInPanelZero) {
  ASSERT_EQ(xdotool(L"mousemove 300 200"), 0);
  std::wstring text;
  EXPECT_TRUE(pumpUntil(
      [&] {
        text = tamsik.status(0);
        return text == L"x=300  y=200";
      },
      5s))
      << testing::PrintToString(text);
}

TEST_F(TamsikE2eTest, SecondCopyBringsTheFirstForwardAndEnds) {
  ASSERT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }, 5s));
  ShowWindow(window, SW_MINIMIZE);
  // Wine leaves a minimised window in front: another one takes its place.
  HWND other = CreateWindowExW(0, L"STATIC", L"in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 200, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE && GetForegroundWindow() == other; }, 5s));
  TamsikProcess second;
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.waitForExit(20s), 0u);
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(window) == FALSE && GetForegroundWindow() == window; }, 5s))
      << "iconic " << IsIconic(window) << ", in front " << (GetForegroundWindow() == window);
  EXPECT_EQ(wineTrayIconCount(), 1);
  EXPECT_TRUE(tamsik.running());
  EXPECT_EQ(tamsik.waitForMainWindow(1s), window);

  // A copy that finds the running one's window not shown yet, as when it was
  // started a moment after it, waits for the window.
  ShowWindow(window, SW_HIDE);
  SetForegroundWindow(other);
  TamsikProcess waiting;
  ASSERT_TRUE(waiting.started());
  pumpFor(2s);
  EXPECT_TRUE(waiting.running()) << "gave up at once";
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(waiting.waitForExit(20s), 0u);
  EXPECT_TRUE(pumpUntil([&] { return IsIconic(window) == FALSE && GetForegroundWindow() == window; }, 5s))
      << "iconic " << IsIconic(window) << ", in front " << (GetForegroundWindow() == window);
  DestroyWindow(other);
}

TEST_F(TamsikE2eTest, CopyOfAnotherNameIsNotMistakenForUs) {
  // A program whose file name merely ends with ours must not keep us from
  // starting, and a copy under another name is not recognised as a copy.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::filesystem::path other = std::filesystem::path(temp) / L"mytamsik.exe";
  ASSERT_TRUE(CopyFileW(tamsikPath().c_str(), other.c_str(), FALSE));
  {
    TamsikProcess renamed(other.wstring());
    EXPECT_NE(renamed.waitForMainWindow(), nullptr);
    EXPECT_TRUE(renamed.running());
    EXPECT_TRUE(tamsik.running());
  }
  DeleteFileW(other.c_str());
}

TEST_F(TamsikE2eTest, KeepsItsTrayIconWhileItRuns) {
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 1; }, 5s));
  EXPECT_EQ(tamsik.close(10s), 0u);
  EXPECT_TRUE(pumpUntil([] { return wineTrayIconCount() == 0; }, 5s));
}

TEST_F(TamsikE2eTest, ClosingTheWindowEndsTheProcess) {
  EXPECT_EQ(tamsik.close(10s), 0u);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
