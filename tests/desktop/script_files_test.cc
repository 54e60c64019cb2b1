#include "desktop/script_files.h"

#include <gtest/gtest.h>

#include "app/texts.h"
#include "fakes/fake_script_box.h"
#include "fakes/fake_script_files.h"
#include "script/published_script.h"
#include "script/script_line.h"

namespace {

using namespace std::string_literals;

class ScriptFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    box.setText(L"unsaved\r\n");
    controls.status[1] = L"earlier";
  }
  void open() { openScriptFile(context); }
  // The retries of a busy target run when the window thread is done with
  // the save.
  void save() {
    saves.save();
    threads.runAll();
  }
  std::wstring message() { return controls.status[1]; }

  CallLog log;
  FakeFileDialogs dialogs{log};
  FakeFileStore files{log};
  FakeTextCodec codec;
  FakeScriptBox box;
  FakeControls controls{log};
  FakeWaiterFactory waiters;
  ScriptFileContext context{dialogs, files, codec, box, controls, waiters};
  FakeRunThreads threads;
  FakeWindowThread windowThread;
  ScriptSaves saves{context, threads, windowThread};
};

TEST_F(ScriptFilesTest, CancelledDialogsChangeNothing) {
  open();
  save();
  EXPECT_EQ(log, (CallLog{"open dialog", "save dialog"}));
  EXPECT_EQ(box.text(), L"unsaved\r\n");
  EXPECT_EQ(message(), L"earlier");
  EXPECT_TRUE(files.files.empty());
}

TEST_F(ScriptFilesTest, DialogsOfferScriptFiles) {
  dialogs.openAnswer = L"C:\\a.sbj";
  files.files[L"C:\\a.sbj"] = "";
  open();
  EXPECT_EQ(dialogs.lastOptions.filterName, L"脚本文件(*.sbj)");
  EXPECT_EQ(dialogs.lastOptions.filterPattern, L"*.sbj");
  EXPECT_EQ(dialogs.lastOptions.defaultExtension, L"sbj");
  dialogs.lastOptions = {};
  save();
  EXPECT_EQ(dialogs.lastOptions.defaultExtension, L"sbj");
}

TEST_F(ScriptFilesTest, OpenFillsTheBoxAndCountsItsLines) {
  struct Case {
    std::string bytes;
    std::wstring text;
    std::wstring message;
  };
  const Case cases[] = {
      {"", L"", L"共1条脚本"},
      {"1 2 3 4 5\r\n", L"1 2 3 4 5\r\n", L"共2条脚本"},
      {"1 0 65 0 0\r\n2 2 65 0 0\r\n3 3 1 5 5\r\n", L"1 0 65 0 0\r\n2 2 65 0 0\r\n3 3 1 5 5\r\n", L"共4条脚本"},
      {"1 0 65 0 0\r\n2 2 65 0 0", L"1 0 65 0 0\r\n2 2 65 0 0", L"共2条脚本"},
      {"a\nb\n", L"a\nb\n", L"共1条脚本"},  // only CR LF ends a line
      {"1 2 3 4 5\r\n\0" "9 9 9 9 9\r\n"s, L"1 2 3 4 5\r\n", L"共2条脚本"},
      {"\0abc"s, L"", L"共1条脚本"},
      {"\xD1\xC5\xFF", L"\u00D1\u00C5\u00FF", L"共1条脚本"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    box.setText(L"unsaved\r\n");
    dialogs.openAnswer = L"C:\\s.sbj";
    files.files[L"C:\\s.sbj"] = c.bytes;
    open();
    EXPECT_EQ(box.text(), c.text);
    EXPECT_EQ(message(), c.message);
  }
}

TEST_F(ScriptFilesTest, UnreadableFileLeavesTheBoxAsItWas) {
  dialogs.openAnswer = L"C:\\locked.sbj";
  files.files[L"C:\\locked.sbj"] = "1 2 3 4 5\r\n";
  files.unreadable.insert(L"C:\\locked.sbj");
  std::uint64_t revision = box.revision();
  open();
  EXPECT_EQ(log, (CallLog{"open dialog", "read"}));
  EXPECT_EQ(box.text(), L"unsaved\r\n");
  EXPECT_EQ(box.revision(), revision);
  EXPECT_EQ(message(), texts::kScriptFileUnreadable);

  dialogs.openAnswer = L"C:\\gone.sbj";
  open();
  EXPECT_EQ(box.text(), L"unsaved\r\n");
  EXPECT_EQ(message(), texts::kScriptFileUnreadable);
}

TEST_F(ScriptFilesTest, DroppedFilesOpenTheFirstAsTheDialogWould) {
  files.files[L"C:\\a.sbj"] = "1 2 3 4 5\r\n";
  files.files[L"C:\\b.sbj"] = "6 7 8 9 10\r\n7 2 65 0 0\r\n";
  files.files[L"C:\\empty.txt"] = "";
  struct Case {
    std::vector<std::wstring> dropped;
    std::wstring text;
    std::wstring message;
  };
  const Case cases[] = {
      {{L"C:\\a.sbj"}, L"1 2 3 4 5\r\n", L"共2条脚本"},
      {{L"C:\\b.sbj", L"C:\\a.sbj"}, L"6 7 8 9 10\r\n7 2 65 0 0\r\n", L"共3条脚本"},
      {{L"C:\\empty.txt"}, L"", L"共1条脚本"},  // any file, as the dialog takes any
      // The fake store, like the real one, cannot read a folder.
      {{L"C:\\Scripts", L"C:\\a.sbj"}, L"unsaved\r\n", texts::kScriptFileUnreadable},
      {{}, L"unsaved\r\n", L"earlier"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.dropped));
    box.setText(L"unsaved\r\n");
    controls.status[1] = L"earlier";
    log.clear();
    openDroppedScriptFile(context, c.dropped);
    EXPECT_EQ(box.text(), c.text);
    EXPECT_EQ(message(), c.message);
    EXPECT_EQ(log, c.dropped.empty() ? CallLog{} : CallLog{"read"}) << "no dialog, one file read";
  }
}

TEST_F(ScriptFilesTest, SaveWritesTheWholeBoxWithoutATerminatingZero) {
  dialogs.saveAnswer = L"C:\\out.sbj";
  box.setText(L"1 0 65 0 0\r\n2 2 65 0 0");
  save();
  EXPECT_EQ(log, (CallLog{"save dialog", "write 22", "replace"}));
  EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", "1 0 65 0 0\r\n2 2 65 0 0"}}));
  EXPECT_EQ(message(), L"earlier") << "a successful save says nothing";
}

TEST_F(ScriptFilesTest, SaveOfAnEmptyBoxGivesAnEmptyFile) {
  dialogs.saveAnswer = L"C:\\out.sbj";
  files.files[L"C:\\out.sbj"] = "old content";
  box.setText(L"");
  save();
  EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", ""}}));
}

// A write that breaks off, and a read-only target, which no pause would
// change: neither is tried again.
TEST_F(ScriptFilesTest, FailedSaveKeepsTheOldFileWholeAndSaysSo) {
  dialogs.saveAnswer = L"C:\\out.sbj";
  box.setText(L"new content\r\n");
  const FakeFileStore::Properties readOnly{FakeFileStore::kReadOnly, 7};
  for (bool breaksOff : {true, false}) {
    SCOPED_TRACE(breaksOff ? "write breaks off" : "read-only target");
    files.files = {{L"C:\\out.sbj", "old content"}};
    files.properties = {{L"C:\\out.sbj", readOnly}};
    if (breaksOff) files.failAfterBytes = 3;
    else files.failAfterBytes.reset();
    log.clear();
    save();
    EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", "old content"}}));
    EXPECT_EQ(files.propertiesOf(L"C:\\out.sbj"), readOnly);
    EXPECT_EQ(message(), texts::kScriptSaveFailed);
    EXPECT_EQ(log, breaksOff ? (CallLog{"save dialog", "write 13"}) : (CallLog{"save dialog", "write 13", "replace"}));
    EXPECT_EQ(waiters.nowUs, 0) << "no pause";
    EXPECT_EQ(box.text(), L"new content\r\n");
  }
}

// A virus scanner or a sync client holds the target a moment after each
// change: the save tries again in short pauses, for about 2 s at most.
TEST_F(ScriptFilesTest, TargetHeldForAMomentIsWrittenOnALaterTry) {
  dialogs.saveAnswer = L"C:\\out.sbj";
  files.files[L"C:\\out.sbj"] = "old content";
  files.logTimesOf(&waiters.nowUs);
  box.setText(L"new\r\n");
  files.heldFor[L"C:\\out.sbj"] = 2;
  saves.save();
  saves.save();  // while the first tries again, nothing begins another
  EXPECT_FALSE(saves.finish(std::chrono::seconds(3))) << "the close waits for the retries";
  threads.runAll();
  EXPECT_EQ(log, (CallLog{"save dialog", "write 5", "replace at 0ms", "replace at 50ms", "replace at 100ms"}));
  EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", "new\r\n"}}));
  EXPECT_EQ(message(), L"earlier") << "a save that got through says nothing";

  log.clear();
  waiters.nowUs = 0;
  files.heldFor[L"C:\\out.sbj"] = 1000;
  box.setText(L"newer\r\n");
  save();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[1], "write 7") << "written once";
  EXPECT_EQ(log[2], "replace at 0ms");
  EXPECT_EQ(log.back(), "replace at 2000ms") << "the last try comes when the time is up";
  EXPECT_EQ(log.size(), 3u + 40u) << "a try every 50 ms";
  EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", "new\r\n"}}));
  EXPECT_EQ(message(), texts::kScriptSaveFailed);
}

TEST_F(ScriptFilesTest, TextTheFilesCannotHoldIsRefusedAndTheFileStaysAsItWas) {
  files.files[L"C:\\out.sbj"] = "old content";
  dialogs.saveAnswer = L"C:\\out.sbj";
  box.setText(L"10 0 65 0 0\r\n\u20AC\r\n");  // the euro sign is not in the fake's encoding
  save();
  EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{L"C:\\out.sbj", "old content"}}));
  EXPECT_EQ(message(), texts::kScriptNotEncodable);
  EXPECT_EQ(log, (CallLog{"save dialog"})) << "nothing is written";
  EXPECT_EQ(box.text(), L"10 0 65 0 0\r\n\u20AC\r\n");
}

TEST_F(ScriptFilesTest, SavedScriptOpensAsTheSameText) {
  const std::wstring text = L"10 0 65 0 0\r\n\r\n20 2 65 0 0\r\n\xFF";
  box.setText(text);
  dialogs.saveAnswer = dialogs.openAnswer = L"C:\\round.sbj";
  save();
  const std::string bytes = files.files[L"C:\\round.sbj"];
  box.setText(L"");
  open();
  EXPECT_EQ(box.text(), text);
  save();
  EXPECT_EQ(files.files[L"C:\\round.sbj"], bytes);
}

TEST_F(ScriptFilesTest, LinesWithASixthFieldComeBackWithIt) {
  const ScriptLine lines[] = {
      {1355, 3, 2048, 600, 300, -120}, {1400, 3, 4096, -5, 0, 240}, {1500, 3, 128, 7, 8, 1},
      {1501, 3, 256, 7, 8, 2},         {50, 0, 13, 0, 0, 1},         {60, 2, 36, 0, 0, 0},
      {70, 2, 65, 0, 0, std::nullopt}, {80, 3, 2, 7, 8, std::nullopt},
  };
  std::wstring text;
  for (const ScriptLine& line : lines) {
    std::optional<bool> extended;
    if (line.extra && line.kind != 3) extended = *line.extra != 0;
    text += line.kind == 3 ? mouseLine(line.time, line.code, line.x, line.y, line.extra)
                           : keyLine(line.time, line.kind, line.code, extended);
  }
  box.setText(text);
  dialogs.saveAnswer = dialogs.openAnswer = L"C:\\sixth.sbj";
  save();
  box.setText(L"");
  open();
  ASSERT_EQ(box.text(), text);
  const ScriptSnapshot opened(box.text());
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(std::size(lines)); ++i) {
    EXPECT_EQ(readScriptLine(opened.line(i)), lines[i]) << "line " << i;
  }
}

}  // namespace
