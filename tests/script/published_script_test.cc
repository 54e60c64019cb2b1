#include "script/published_script.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"

namespace {

TEST(ScriptSnapshotTest, CountsAndReadsLinesAsTheBoxDoes) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {L"", {L""}},
      {L"a", {L"a"}},
      {L"100 2 65 0 0\r\n\r\n250 3 1 -1280 200", {L"100 2 65 0 0", L"", L"250 3 1 -1280 200"}},
      {L"1 2 3 4 5\r\n6 7 8 9 10\r\n", {L"1 2 3 4 5", L"6 7 8 9 10", L""}},
      {L"a\rb\nc\r\n", {L"a\rb\nc", L""}},  // only CR LF ends a line
      {L"\r\n\r\n", {L"", L"", L""}},
  };
  for (const Case& c : cases) {
    const ScriptSnapshot snapshot{std::wstring(c.text)};
    ASSERT_EQ(snapshot.lineCount(), static_cast<std::int32_t>(c.lines.size())) << testing::PrintToString(c.text);
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(snapshot.line(static_cast<std::int32_t>(i)), c.lines[i]) << testing::PrintToString(c.text);
    }
    EXPECT_EQ(snapshot.line(-1), L"");
    EXPECT_EQ(snapshot.line(snapshot.lineCount()), L"") << "a line beyond the end reads as empty";
  }
}

class PublishedScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    windowThread.runAtOnce = false;
    script.setPublishedListener([this] { ++published; });
  }

  FakeScriptBox box;
  FakeWindowThread windowThread;
  PublishedScript script{box, windowThread};
  int published = 0;
};

TEST_F(PublishedScriptTest, ChangesOfABurstGiveOneSnapshotOnceTheWindowThreadGetsToIt) {
  std::shared_ptr<const ScriptSnapshot> before = script.current();
  ASSERT_NE(before, nullptr);
  box.setText(L"1 0 65 0 0\r\n");
  box.append(L"2 2 65 0 0\r\n");
  EXPECT_EQ(script.current(), before) << "nothing is published inside the change";
  EXPECT_EQ(windowThread.tasks.size(), 1u);
  windowThread.runPosted();
  EXPECT_EQ(script.current()->text(), L"1 0 65 0 0\r\n2 2 65 0 0\r\n");
  EXPECT_EQ(published, 1);
  EXPECT_EQ(before->text(), L"") << "a snapshot never changes";
}

TEST_F(PublishedScriptTest, PublishNowBringsTheSnapshotUpToTheBoxOnce) {
  box.setText(L"5 0 66 0 0\r\n");
  script.publishNow();
  EXPECT_EQ(script.current()->text(), L"5 0 66 0 0\r\n");
  EXPECT_EQ(published, 1);
  std::shared_ptr<const ScriptSnapshot> now = script.current();
  script.publishNow();
  windowThread.runPosted();
  EXPECT_EQ(script.current(), now) << "an unchanged box is not copied again";
  EXPECT_EQ(published, 1);
}

TEST(PublishedScriptLifetimeTest, PublicationPostedBeforeTheEndFindsNothing) {
  FakeScriptBox box;
  FakeWindowThread windowThread;
  windowThread.runAtOnce = false;
  {
    PublishedScript script{box, windowThread};
    box.setText(L"1 2 3 4 5\r\n");
  }
  windowThread.runPosted();  // would touch the script gone
  box.setText(L"");          // and the box no longer calls it
  EXPECT_TRUE(windowThread.tasks.empty());
}

}  // namespace
