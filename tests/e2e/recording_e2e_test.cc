// Recording and playback end to end: real X keys and clicks into a Wine
// notepad while tamsik.exe records, then tamsik.exe plays the script back.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "e2e/tamsik_process.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

struct Line {
  long time, kind, code, x, y;
};

std::vector<Line> parseScript(const std::wstring& text) {
  std::vector<Line> lines;
  std::wistringstream in(text);
  Line line{};
  while (in >> line.time >> line.kind >> line.code >> line.x >> line.y) lines.push_back(line);
  return lines;
}

// A Wine notepad at a known place with a title of our own, so that xdotool
// finds it.
class Notepad {
 public:
  Notepad() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    wchar_t command[] = L"notepad.exe";
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pumpUntil([&] {
      for (HWND w = FindWindowW(L"Notepad", nullptr); w; w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == info.dwProcessId && IsWindowVisible(w)) window = w;
      }
      return window != nullptr;
    }, 20s);
    if (!window) return;
    edit = FindWindowExW(window, nullptr, L"Edit", nullptr);
    SetWindowTextW(window, title().c_str());
    SetWindowPos(window, nullptr, 560, 100, 500, 400, SWP_NOZORDER);
  }

  ~Notepad() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }

  std::wstring title() const { return L"tamsik-e2e-notepad-" + std::to_wstring(GetProcessId(process_)); }

  // Foreground, keyboard focus and the pointer over the edit area, so that
  // X keys reach it.
  bool focus() {
    if (xdotool(L"search --sync --onlyvisible --name ^" + title() + L"$ windowfocus --sync") != 0) return false;
    POINT middle = pointInEdit(200, 150);
    if (xdotool(L"mousemove " + std::to_wstring(middle.x) + L" " + std::to_wstring(middle.y)) != 0) return false;
    return pumpUntil([&] { return GetForegroundWindow() == window; });
  }

  POINT pointInEdit(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(edit, &point);
    return point;
  }

  std::wstring text() const { return windowText(edit); }
  void clear() const { SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"")); }

  HWND window = nullptr;
  HWND edit = nullptr;

 private:
  HANDLE process_ = nullptr;
};

class RecordingE2eTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tamsik.started());
    window = tamsik.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(notepad.window, nullptr) << "no notepad";
    ASSERT_NE(notepad.edit, nullptr);
    ASSERT_TRUE(notepad.focus());
  }

  HWND control(int id) { return findControl(window, id); }
  std::wstring script() { return windowText(control(control_id::脚本框)); }
  bool checked(int id) { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void setChecked(int id, bool on) { SendMessageW(control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

  // Releases and presses made with xdotool reach the hooks in between.
  void key(const std::wstring& name) { ASSERT_EQ(xdotool(L"key " + name), 0); }

  void putScript(const std::wstring& text) {
    SendMessageW(control(control_id::脚本框), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  TamsikProcess tamsik;
  Notepad notepad;
  HWND window = nullptr;
};

TEST_F(RecordingE2eTest, RecordsTypingAndAClickAndPlaysThemBack) {
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; })) << "a recording minimises the window";
  ASSERT_EQ(xdotool(L"type --delay 30 hello"), 0);
  POINT click = notepad.pointInEdit(300, 60);
  ASSERT_EQ(xdotool(L"mousemove " + std::to_wstring(click.x) + L" " + std::to_wstring(click.y) + L" click 1"), 0);
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return remoteStatusText(control(control_id::状态条1), 1).starts_with(L"共"); }));
  ASSERT_EQ(notepad.text(), L"hello");

  std::wstring text = script();
  std::vector<Line> lines = parseScript(text);
  std::vector<std::pair<long, long>> keys;
  std::vector<long> clicks;
  for (const Line& line : lines) {
    if (line.kind != 3) keys.emplace_back(line.kind, line.code);
    if (line.kind == 3 && line.code != 1) {
      EXPECT_EQ(line.x, click.x);
      EXPECT_EQ(line.y, click.y);
      clicks.push_back(line.code);
    }
    EXPECT_TRUE(line.code != 0x91 && line.code != 0x7B && line.code != 0x7A || line.kind == 3) << "hot key recorded";
  }
  std::vector<std::pair<long, long>> hello;
  for (long vk : {'H', 'E', 'L', 'L', 'O'}) {
    hello.emplace_back(0, vk);
    hello.emplace_back(2, vk);
  }
  EXPECT_EQ(keys, hello) << testing::PrintToString(text);
  EXPECT_EQ(clicks, (std::vector<long>{2, 4}));

  std::wstring status = remoteStatusText(control(control_id::状态条1), 1);
  std::wstring expectedStart = L"共" + std::to_wstring(lines.size() + 1) + L"条脚本,估计执行时间需要";
  EXPECT_TRUE(status.starts_with(expectedStart) && status.ends_with(L"秒")) << testing::PrintToString(status);

  notepad.clear();
  key(L"F12");
  EXPECT_TRUE(pumpUntil([&] { return notepad.text() == L"hello"; }, 20s)) << testing::PrintToString(notepad.text());
}

TEST_F(RecordingE2eTest, F11StopsALoopingRunWithNoKeyLeftHeld) {
  // Shift down, a key, then a long pause: F11 comes while Shift is held.
  putScript(L"10 0 160 0 0\r\n20 0 65 0 0\r\n30 2 65 0 0\r\n600000 2 160 0 0\r\n");
  setChecked(control_id::选择框2, true);
  key(L"F12");
  ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 10s)) << "the run never pressed Shift";
  key(L"F11");
  EXPECT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) >= 0; }, 5s)) << "Shift is still held";
  EXPECT_FALSE(checked(control_id::选择框2));
  std::wstring typed = notepad.text();
  pumpFor(500ms);
  EXPECT_EQ(notepad.text(), typed) << "the run went on after F11";
  EXPECT_EQ(typed, L"A");
}

TEST_F(RecordingE2eTest, F12RefusesWhenTheChosenWindowIsNotInFront) {
  putScript(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  setChecked(control_id::选择框5, true);  // "所有窗口" stays selected: it matches no window in front
  key(L"F12");
  EXPECT_TRUE(pumpUntil([&] { return remoteStatusText(control(control_id::状态条1), 1) == texts::kTargetNotInFront; }));
  pumpFor(300ms);
  EXPECT_EQ(notepad.text(), L"") << "no run may start";
  EXPECT_FALSE(IsIconic(window));
}

// Every key event that reaches the system during a recording is in the
// script, once and in order, also at xdotool's full speed.
TEST_F(RecordingE2eTest, LosesNoKeyAtFullSpeed) {
  static std::vector<std::pair<long, long>> seen;
  seen.clear();
  HHOOK hook = SetWindowsHookExW(
      WH_KEYBOARD_LL,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (code == HC_ACTION) {
          const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
          if (info->vkCode != VK_SCROLL) seen.emplace_back((info->flags & LLKHF_UP) ? 2 : 0, info->vkCode);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  key(L"Scroll_Lock");
  std::wstring letters;
  for (int i = 0; i < 5000; ++i) letters += static_cast<wchar_t>(L'a' + (i * 7) % 26);
  ASSERT_EQ(LinuxCommand(L"timeout 300 xdotool type --delay 0 " + letters).wait(320s), 0);
  key(L"Scroll_Lock");
  pumpFor(500ms);
  UnhookWindowsHookEx(hook);

  std::vector<std::pair<long, long>> recorded;
  for (const Line& line : parseScript(script())) {
    if (line.kind != 3) recorded.emplace_back(line.kind, line.code);
  }
  EXPECT_GE(seen.size(), 10000u);
  EXPECT_EQ(recorded.size(), seen.size());
  EXPECT_TRUE(recorded == seen) << "the script's keys differ from those the system saw";
}

}  // namespace
