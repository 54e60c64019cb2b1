#include "script/published_script.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"

namespace {

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

TEST_F(PublishedScriptTest, ChangesAreFollowedOnlyWhileAReaderIsThere) {
  bool reader = false;
  script.followChangesWhile([&] { return reader; });
  box.setText(L"1 0 65 0 0\r\n");
  box.append(L"2 2 65 0 0\r\n");
  EXPECT_TRUE(windowThread.tasks.empty()) << "no copy of the box for nobody";
  EXPECT_EQ(script.current()->text(), L"");
  script.publishNow();  // a run starts
  EXPECT_EQ(script.current()->text(), L"1 0 65 0 0\r\n2 2 65 0 0\r\n");
  reader = true;
  box.append(L"3 0 66 0 0\r\n");
  windowThread.runPosted();
  EXPECT_EQ(script.current()->text(), L"1 0 65 0 0\r\n2 2 65 0 0\r\n3 0 66 0 0\r\n");
  EXPECT_EQ(published, 2);
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
