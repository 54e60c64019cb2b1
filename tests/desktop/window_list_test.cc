#include "desktop/window_list.h"

#include <gtest/gtest.h>

#include "app/texts.h"
#include "fakes/fake_window_system.h"

namespace {

using Entries = std::vector<std::pair<std::wstring, std::uint32_t>>;

class WindowListTest : public testing::Test {
 protected:
  void refresh() {
    log.clear();
    refreshWindowList(windows, list);
  }
  bool inFront() { return isTargetWindowInFront(windows, list); }
  // Selects the entry of the window as the user would, by its place in the list.
  void choose(WindowHandle handle) {
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
      if (list.entries[i].second == handle) list.select(static_cast<std::int32_t>(i));
    }
  }

  CallLog log;
  FakeWindowSystem windows{log};
  FakeWindowListBox list;
};

TEST_F(WindowListTest, EmptyDesktopListsOnlyAllWindows) {
  list.append(L"stale", 42);
  refresh();
  EXPECT_EQ(list.entries, (Entries{{texts::kAllWindows, 0}}));
  EXPECT_EQ(list.selected, 0);
}

TEST_F(WindowListTest, ListsVisibleTitledUncloakedWindowsInZOrderAndAsksOnlyAsFarAsNeeded) {
  windows.add(7, L"记事本");
  windows.add(3, L"", true);         // visible, no title
  windows.add(9, L"hidden", false);  // titled, invisible
  windows.add(8, L"设置", true, true);  // visible, on another virtual desktop or suspended
  windows.add(5, L"Tamsik  By：tamsik.example");
  windows.add(2, L"", false);
  refresh();
  EXPECT_EQ(list.entries, (Entries{{texts::kAllWindows, 0}, {L"记事本", 7}, {L"Tamsik  By：tamsik.example", 5}}));
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(log, (CallLog{"length 7", "read 7 4", "visible 7", "cloaked 7", "length 3", "length 9", "read 9 7",
                          "visible 9", "length 8", "read 8 3", "visible 8", "cloaked 8", "length 5", "read 5 26",
                          "visible 5", "cloaked 5", "length 2"}));
}

TEST_F(WindowListTest, WindowsOfOneTitleKeepTheirOwnHandles) {
  windows.add(11, L"无标题 - 记事本");
  windows.add(12, L"无标题 - 记事本");
  refresh();
  ASSERT_EQ(list.entries,
            (Entries{{texts::kAllWindows, 0}, {L"无标题 - 记事本", 11}, {L"无标题 - 记事本", 12}}));

  windows.foreground = 12;
  list.select(1);
  EXPECT_FALSE(inFront());
  list.select(2);
  EXPECT_TRUE(inFront());
  windows.foreground = 11;
  EXPECT_FALSE(inFront());
}

TEST_F(WindowListTest, WalkEndsWhereTheZOrderComesRoundAgain) {
  windows.add(1, L"a");
  windows.add(2, L"b");
  windows.add(3, L"c");
  windows.next = [](WindowHandle h) { return h == 3 ? 2 : h + 1; };  // 1, 2, 3, 2, 3, ...
  refresh();
  EXPECT_EQ(list.entries, (Entries{{texts::kAllWindows, 0}, {L"a", 1}, {L"b", 2}, {L"c", 3}}));
  EXPECT_EQ(list.selected, 0);
}

TEST_F(WindowListTest, WalkOfEndlesslyNewHandlesEndsAtTheLimit) {
  windows.add(1, L"w");
  windows.next = [&](WindowHandle h) {
    windows.windows[h + 1] = FakeWindowSystem::Window{L"w", true};
    return h + 1;
  };
  refresh();
  EXPECT_EQ(list.entries.size(), static_cast<std::size_t>(kMaxWalkedWindows) + 1);
  EXPECT_EQ(list.entries.back().second, static_cast<std::uint32_t>(kMaxWalkedWindows));
  EXPECT_EQ(list.selected, 0);
}

TEST_F(WindowListTest, TitleChangingBetweenLengthAndReadIsCutOrComesBackShorter) {
  windows.add(4, L"abc");
  windows.add(6, L"abcdef");
  windows.betweenLengthAndRead = [&](WindowHandle h) {
    windows.windows[h].title = h == 4 ? L"abcdefgh" : L"ab";
  };
  refresh();
  EXPECT_EQ(list.entries, (Entries{{texts::kAllWindows, 0}, {L"abc", 4}, {L"ab", 6}}));
}

TEST_F(WindowListTest, TitleEmptiedBetweenLengthAndReadIsNotListed) {
  windows.add(4, L"abc");
  windows.betweenLengthAndRead = [&](WindowHandle h) { windows.windows[h].title = L""; };
  refresh();
  EXPECT_EQ(list.entries, (Entries{{texts::kAllWindows, 0}}));
  EXPECT_EQ(log, (CallLog{"length 4", "read 4 4"}));
}

TEST_F(WindowListTest, AllWindowsMatchesNoWindowInFront) {
  windows.add(7, L"记事本");
  refresh();
  windows.foreground = 7;
  EXPECT_FALSE(inFront());
}

TEST_F(WindowListTest, NoSelectionMatchesNoWindow) {
  windows.add(7, L"记事本");
  refresh();
  windows.foreground = 7;
  list.select(-1);
  EXPECT_FALSE(inFront());
  windows.foreground = 0;
  EXPECT_FALSE(inFront());
}

TEST_F(WindowListTest, WindowReopenedUnderANewHandleMatchesOnlyAfterARefresh) {
  windows.add(7, L"记事本");
  refresh();
  choose(7);
  windows.foreground = 7;
  EXPECT_TRUE(inFront());

  windows.close(7);
  windows.add(8, L"记事本");
  windows.foreground = 8;
  EXPECT_FALSE(inFront());

  refresh();
  EXPECT_EQ(list.selected, 0) << "a refresh always selects 所有窗口";
  EXPECT_FALSE(inFront());
  choose(8);
  EXPECT_TRUE(inFront());
}

}  // namespace
