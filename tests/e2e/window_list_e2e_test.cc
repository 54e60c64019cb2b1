// The window list and the target window, against real windows: a Wine
// notepad, tamsik.exe's own window, and real X input.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/notepad.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

struct Entry {
  std::wstring text;
  HWND window;

  friend bool operator==(const Entry&, const Entry&) = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << testing::PrintToString(entry.text) << " " << entry.window;
}

class WindowListE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    ASSERT_NE(notepad.window, nullptr) << "no notepad";
  }

  void click(int id) { ASSERT_EQ(xdotool(mouseMove(middleOf(control(id))) + L" click 1"), 0); }

  // Read from this process: the combo box copies each entry's text across.
  std::vector<Entry> entries() {
    std::vector<Entry> found;
    auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      LRESULT length = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
      auto data = static_cast<std::uint32_t>(SendMessageW(combo, CB_GETITEMDATA, i, 0));
      found.push_back({text, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(data))});
    }
    return found;
  }

  int indexOf(HWND target) {
    std::vector<Entry> list = entries();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].window == target) return static_cast<int>(i);
    }
    return -1;
  }

  bool refreshAndFind(HWND target) {
    click(control_id::按钮1);
    return pumpUntil([&] { return indexOf(target) > 0; });
  }

  // Started after tamsik.exe has filled its list at start-up.
  Notepad notepad;
  const HWND combo = control(control_id::组合框);
};

TEST_F(WindowListE2eTest, RefreshListsEachWindowByTitleAndHandle) {
  ASSERT_EQ(indexOf(notepad.window), -1) << "the notepad came after the list was filled";
  ASSERT_TRUE(refreshAndFind(notepad.window));

  std::vector<Entry> list = entries();
  EXPECT_EQ(list.front(), (Entry{texts::kAllWindows, nullptr}));
  const Entry notepadEntry{notepad.title(), notepad.window};
  EXPECT_EQ(std::count(list.begin(), list.end(), notepadEntry), 1);
  EXPECT_EQ(list[static_cast<std::size_t>(indexOf(window))], (Entry{texts::windowTitle(), window}))
      << "tamsik lists its own window too";
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  for (const Entry& entry : list) {
    if (entry.window == nullptr) continue;
    EXPECT_TRUE(IsWindowVisible(entry.window)) << testing::PrintToString(entry);
    EXPECT_EQ(GetAncestor(entry.window, GA_PARENT), GetDesktopWindow()) << testing::PrintToString(entry);
  }
}

TEST_F(WindowListE2eTest, F12RunsOnlyWhileTheChosenWindowIsInFront) {
  Notepad other(560, 520);
  ASSERT_NE(other.window, nullptr);
  tamsik.setScript(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  tamsik.setChecked(control_id::选择框5, true);
  ASSERT_TRUE(refreshAndFind(notepad.window));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(indexOf(notepad.window)), 0);

  ASSERT_TRUE(other.focus());
  ASSERT_EQ(xdotool(L"key F12"), 0);
  EXPECT_TRUE(pumpUntil([&] { return tamsik.status() == texts::kTargetNotInFront; }));
  pumpFor(300ms);
  EXPECT_EQ(other.text(), L"");
  EXPECT_EQ(notepad.text(), L"");
  EXPECT_FALSE(IsIconic(window)) << "a refused run does not minimise the window";

  ASSERT_TRUE(notepad.focus());
  ASSERT_EQ(xdotool(L"key F12"), 0);
  EXPECT_TRUE(pumpUntil([&] { return notepad.text() == L"a"; }, 10s)) << testing::PrintToString(notepad.text());
  EXPECT_EQ(other.text(), L"");
}

}  // namespace
