#include "win32/main_window_fixture.h"

#include <commctrl.h>
#include <shlobj.h>
#include <wtsapi32.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "platform/win32/handles.h"
#include "support/wine_desktop.h"

namespace {

std::wstring statusText(HWND status, int panel) {
  std::wstring text(512, L'\0');
  LRESULT length = SendMessageW(status, SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(length));
  return text;
}

// What the shell hands over when files are dropped: a DROPFILES header and
// the wide paths, each ended by a zero, and one more zero.
HGLOBAL dropOf(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(header + 1));
  GlobalUnlock(memory);
  return memory;
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, InstallsTheHooksAgainOncePerResumeAndAfterAnUnlockAndRemovesThemWithTheWindow) {
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"install"}));
  const struct {
    UINT message;
    WPARAM event;
  } events[] = {{WM_POWERBROADCAST, PBT_APMSUSPEND},         {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},   {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK},
                {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}, {WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT}};
  for (const auto& event : events) SendMessageW(window.hwnd(), event.message, event.event, 0);
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"install", "install", "install"}));
  DestroyWindow(window.hwnd());
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"install", "install", "install", "remove"}));
}

TEST_F(MainWindowTest, HelpLabelUsesTheKaiFontAtFourteenPixels) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(control(control_id::标签2), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW logFont{};
  ASSERT_NE(GetObjectW(font, sizeof(logFont), &logFont), 0);
  EXPECT_EQ(logFont.lfHeight, -14);
  EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
  EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
  EXPECT_FALSE(logFont.lfItalic || logFont.lfUnderline || logFont.lfStrikeOut);
  EXPECT_STREQ(logFont.lfFaceName, L"楷体_GB2312");
}

TEST_F(MainWindowTest, ClearButtonEmptiesOnlyTheScriptBox) {
  HWND status = control(control_id::状态条1);
  window.scriptBox().setText(L"100 2 65 0 0\r\n");
  SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"共2条脚本"));
  state().recordedScript = L"100 2 65 0 0\r\n";

  SendMessageW(control(control_id::按钮2), BM_CLICK, 0, 0);

  EXPECT_EQ(window.scriptBox().text(), L"");
  EXPECT_EQ(statusText(status, 1), L"共2条脚本");
  EXPECT_EQ(state().recordedScript, L"100 2 65 0 0\r\n");
}

TEST_F(MainWindowTest, SensitivityStaysWithinItsRangeAndCannotBeTyped) {
  HWND edit = control(control_id::编辑框1);
  HWND arrows = control(control_id::编辑框1Arrows);
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
  SendMessageW(edit, WM_CHAR, L'7', 0);
  EXPECT_EQ(windowText(edit), L"10");

  int low = 0, high = 0;
  SendMessageW(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 5);
  EXPECT_EQ(high, 50);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)), edit);

  // The arrow keys step the value through the buddy, one at a time.
  // The recorder's reading follows every change, from the arrows or from outside.
  EXPECT_EQ(window.controls().sensitivityText(), L"10");
  for (int i = 0; i < 60; ++i) SendMessageW(arrows, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(windowText(edit), L"50");
  EXPECT_EQ(window.controls().sensitivityText(), L"50");
  for (int i = 0; i < 60; ++i) SendMessageW(arrows, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(windowText(edit), L"5");
  EXPECT_EQ(window.controls().sensitivityText(), L"5");
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
  EXPECT_EQ(window.controls().sensitivityText(), L"12");
}

TEST_F(MainWindowTest, MouseEventsShowTheCursorPositionInPanelZero) {
  ASSERT_NE(hooks.listener, nullptr);
  SetCursorPos(321, 123);
  hooks.listener->onMouse(MouseEvent{1, 1, 1, false});
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(statusText(control(control_id::状态条1), 0),
            L"x=" + std::to_wstring(cursor.x) + L"  y=" + std::to_wstring(cursor.y));
}

TEST_F(MainWindowTest, DroppedFilesOpenTheFirst) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring first = std::wstring(temp) + L"tamsik-drop-1.txt";
  const std::wstring second = std::wstring(temp) + L"tamsik-drop-2.sbj";
  std::ofstream(std::filesystem::path(first), std::ios::binary) << "1 2 65 0 0\r\n2 0 65 0 0\r\n";
  std::ofstream(std::filesystem::path(second), std::ios::binary) << "3 3 1 5 5\r\n";
  SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({first, second})), 0);
  EXPECT_EQ(window.scriptBox().text(), L"1 2 65 0 0\r\n2 0 65 0 0\r\n");
  EXPECT_EQ(statusText(control(control_id::状态条1), 1), L"共3条脚本");
  EXPECT_TRUE(GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  DeleteFileW(first.c_str());
  DeleteFileW(second.c_str());
}

TEST_F(MainWindowTest, EveryLineOfTheHelpTextIsReadableAtEveryScale) {
  for (int dpi : {96, 120, 144, 168, 192}) {
    SCOPED_TRACE(dpi);
    RECT suggested{50, 50, 50 + MulDiv(450, dpi, 96), 50 + MulDiv(428, dpi, 96)};
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    HWND label = control(control_id::标签3);
    EXPECT_EQ(windowText(label), texts::kHelpText);
    RECT room;
    GetClientRect(label, &room);
    const WindowDc dc(label);
    const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, room.right, 0};
    DrawTextW(dc.get(), texts::kHelpText, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    EXPECT_LE(needed.bottom, room.bottom);
    EXPECT_GE(metrics.tmHeight, MulDiv(11, dpi, 96)) << "still a size to read";
    RECT labelRect = rectInParent(label), button = rectInParent(control(control_id::按钮2));
    EXPECT_LE(labelRect.bottom, button.top);
  }
}

TEST_F(MainWindowTest, ScalesItsLayoutWithTheMonitorDpi) {
  RECT suggested{50, 50, 50 + 675, 50 + 642};
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  RECT outer;
  GetWindowRect(window.hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, 675);
  EXPECT_EQ(outer.bottom - outer.top, 642);

  RECT box = rectInParent(control(control_id::脚本框));
  EXPECT_EQ(box.left, 14);  // 9 * 1.5, halves rounded up
  EXPECT_EQ(box.top, 144);
  EXPECT_EQ(box.right - box.left, 315);
  EXPECT_EQ(box.bottom - box.top, 380);

  RECT group = rectInParent(control(control_id::分组框2));
  EXPECT_EQ(group.left, 303);
  EXPECT_EQ(group.top, 17);

  auto font = reinterpret_cast<HFONT>(SendMessageW(control(control_id::标签2), WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  GetObjectW(font, sizeof(logFont), &logFont);
  EXPECT_EQ(logFont.lfHeight, -21);

  int edges[2] = {};
  SendMessageW(control(control_id::状态条1), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(edges[0], 180);
  EXPECT_EQ(edges[1], 600);
}

}  // namespace
