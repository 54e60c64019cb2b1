// Every way the script box can change reaches what the player plays and what
// a save writes: typing, undo by Alt+Backspace and Ctrl+Z, the context menu's
// Undo, Cut, Paste and Delete, Ctrl+V, input-method characters, WM_SETTEXT
// from another program, the recorder and opening a file. The scripts press
// F13 to F19, which no window acts on; an independent hook tells what the
// player injected.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/file_dialog.h"
#include "support/input_log.h"
#include "support/stopwatch.h"
#include "support/script_lines.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kBase[] = L"10 0 124 0 0\r\n20 2 124 0 0\r\n";  // F13
constexpr wchar_t kF14Line[] = L"30 0 125 0 0\r\n";
constexpr wchar_t kF15Line[] = L"40 0 126 0 0\r\n";

class ScriptChangesE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    ASSERT_TRUE(log.ready());
    for (int option : {control_id::选择框3, control_id::选择框4}) tamsik.setChecked(option, false);
    ASSERT_NO_FATAL_FAILURE(focusBox());
  }

  // The caret in the box, the pointer over it: keys from xdotool go there.
  void focusBox() {
    RECT rect;
    GetWindowRect(box, &rect);
    ASSERT_EQ(xdotool(mouseMove({rect.left + 150, rect.bottom - 30}) + L" click 1"), 0);
    ASSERT_TRUE(waitUntil("the script box to have the keyboard focus", [&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetForegroundWindow() == window &&
             GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == box;
    }));
  }
  void select(std::size_t from, std::size_t to) { SendMessageW(box, EM_SETSEL, from, static_cast<LPARAM>(to)); }
  void caretAtTheEnd() {
    const auto end = static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0));
    select(end, end);
  }
  bool selectionIs(std::size_t from, std::size_t to) {
    const auto selection = static_cast<DWORD>(SendMessageW(box, EM_GETSEL, 0, 0));
    return LOWORD(selection) == from && HIWORD(selection) == to;
  }
  // Keys whose effect may be none at all: Ctrl+End after them tells when the
  // box has taken them, since it moves the caret from the start to the end.
  void keysThenMarker(const std::wstring& keys) {
    select(0, 0);
    key(keys + L" ctrl+End");
    ASSERT_TRUE(waitUntil("the box to take " + std::string(keys.begin(), keys.end()) + " and then Ctrl+End", [&] {
      const auto end = static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0));
      return selectionIs(end, end);
    }));
  }
  // Opens the box's context menu and takes the item of that letter.
  void fromContextMenu(const std::wstring& letter) {
    RECT rect;
    GetWindowRect(box, &rect);
    ASSERT_EQ(xdotool(mouseMove({rect.left + 100, rect.top + 100}) + L" click 3"), 0);
    ASSERT_TRUE(waitUntil("the box's context menu", [&] { return tamsik.findWindow(L"#32768") != nullptr; }));
    key(letter);
    ASSERT_TRUE(waitUntil("the context menu to close", [&] { return tamsik.findWindow(L"#32768") == nullptr; }));
  }

  // F12, and the keys the run pressed, in order, once it has pressed as many
  // as the script has and a moment has shown that no more come.
  std::vector<int> played(std::size_t expected) {
    log.clear();
    EXPECT_EQ(xdotool(L"key F12"), 0);
    std::vector<int> pressed;
    auto injected = [&] {
      pressed.clear();
      for (const LoggedEvent& event : log.events()) {
        if (event.injected() && !event.keyUp()) pressed.push_back(static_cast<int>(event.vk));
      }
      return pressed.size();
    };
    waitUntil("the run to press " + std::to_string(expected) + " keys", [&] { return injected() >= expected; }, 10s);
    pumpFor(300ms);
    injected();
    return pressed;
  }

  // Changes the box one way and checks that the run and a save follow: the
  // box holds another text with other keys, the run plays those, the file
  // gets that text. The change is done when done(before) holds; by default
  // when the text differs, for changes that come in one piece. May change
  // nothing only where noted, for Wine's edit control.
  void expectFollowed(const std::wstring& name, const std::function<void()>& change,
                      std::function<bool(const std::wstring&)> done = nullptr, bool mayChangeNothing = false) {
    const std::wstring before = windowText(box);
    if (!done) done = [&](const std::wstring& was) { return windowText(box) != was; };
    change();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitUntil("the box to show the change by " + testing::PrintToString(name),
                          [&] { return done(before); }));
    const std::wstring text = windowText(box);
    if (!(mayChangeNothing && text == before)) {
      ASSERT_NE(pressesIn(text), pressesIn(before)) << testing::PrintToString(name) << " changed nothing to play: "
                                                    << testing::PrintToString(text);
    }
    const std::vector<int> expected = pressesIn(text);
    EXPECT_EQ(played(expected.size()), expected) << "played after " << testing::PrintToString(name);
    const std::filesystem::path file = directory / (name + L".sbj");
    ASSERT_TRUE(useFileDialog(tamsik, control_id::保存脚本按钮, file.wstring()));
    EXPECT_EQ(fileBytes(file), std::string(text.begin(), text.end())) << "saved after " << testing::PrintToString(name);
    focusBox();
  }
  // Selects the first line that stands in the box.
  void selectLine(const std::wstring& line) {
    const std::size_t at = windowText(box).find(line);
    ASSERT_NE(at, std::wstring::npos) << testing::PrintToString(line);
    select(at, at + line.size());
  }

  // The keys a script presses, in order.
  static std::vector<int> pressesIn(const std::wstring& text) {
    std::vector<int> keys;
    for (const ScriptLine& line : parseScript(text)) {
      if (line.kind != 2 && line.kind != 3) keys.push_back(static_cast<int>(line.code));
    }
    return keys;
  }

  InputLog log;
  const HWND box = control(control_id::脚本框);
  TemporaryDirectory temporary{L"tamsik-e2e-changes"};
  const std::filesystem::path& directory = temporary.path();
};

TEST_F(ScriptChangesE2eTest, EveryChangeIsPlayedAndSaved) {
  const std::wstring f14 = kF14Line;
  expectFollowed(L"settext", [&] {
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((std::wstring(kBase) + f14).c_str()));
  });
  const std::wstring typed = L"40 0 126 0 0";
  expectFollowed(
      L"typing",
      [&] {
        caretAtTheEnd();
        ASSERT_EQ(xdotool(L"type --delay 20 '" + typed + L"'"), 0);
        key(L"Return");
      },
      [&](const std::wstring& before) { return windowText(box) == before + typed + L"\r\n"; });
  expectFollowed(L"ctrl-z", [&] { key(L"ctrl+z"); });
  // Wine's edit control does not act on Alt+Backspace.
  expectFollowed(
      L"alt-backspace", [&] { keysThenMarker(L"alt+BackSpace"); }, [](const std::wstring&) { return true; }, true);
  expectFollowed(L"menu-cut", [&] {
    selectLine(f14);
    fromContextMenu(L"t");
  });
  expectFollowed(L"menu-undo", [&] { fromContextMenu(L"u"); });
  expectFollowed(L"menu-delete", [&] {
    selectLine(f14);
    fromContextMenu(L"d");
  });
  expectFollowed(L"menu-paste", [&] {
    caretAtTheEnd();
    fromContextMenu(L"p");
  });
  expectFollowed(L"ctrl-v", [&] {
    caretAtTheEnd();
    key(L"ctrl+v");
  });
  // An input method hands its result to the edit as WM_IME_CHAR: a 6 over
  // the 5 of the last F14 line.
  expectFollowed(L"ime", [&] {
    const std::size_t at = windowText(box).rfind(L" 125 ");
    ASSERT_NE(at, std::wstring::npos);
    select(at + 3, at + 4);
    SendMessageW(box, WM_IME_CHAR, L'6', 1);
  });
  expectFollowed(
      L"recorder",
      [&] {
        key(L"Scroll_Lock");
        ASSERT_TRUE(waitUntil("the recording to empty the box", [&] { return windowText(box).empty(); }));
        key(L"Print");
        ASSERT_TRUE(waitUntil("Print's release in the box",
                              [&] { return windowText(box).find(L" 2 44 0 0\r\n") != std::wstring::npos; }));
        key(L"Scroll_Lock");
        ASSERT_TRUE(tamsik.waitForRecordingSummary());
      },
      [&](const std::wstring&) { return windowText(box).find(L" 2 44 0 0\r\n") != std::wstring::npos; });
  expectFollowed(L"open", [&] {
    const std::filesystem::path opened = directory / L"opened.sbj";
    std::ofstream(opened, std::ios::binary) << "10 0 130 0 0\r\n20 2 130 0 0\r\n";
    ASSERT_TRUE(useFileDialog(tamsik, control_id::打开脚本按钮, opened.wstring()));
    ASSERT_EQ(windowText(box), L"10 0 130 0 0\r\n20 2 130 0 0\r\n");
    focusBox();
  });
}

}  // namespace
