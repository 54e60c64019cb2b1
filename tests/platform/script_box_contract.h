#pragma once

// What the player and the recorder rely on from the script box, checked
// against every realisation so that the fake cannot drift from the real box.
// A realisation's test instantiates the suite with a factory type whose
// make() returns a std::unique_ptr<ScriptBox>.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/script_box.h"

template <typename Factory>
class ScriptBoxContract : public testing::Test {
 protected:
  Factory factory;
  std::unique_ptr<ScriptBox> box = factory.make();
};

TYPED_TEST_SUITE_P(ScriptBoxContract);

TYPED_TEST_P(ScriptBoxContract, CountsLinesByCrLf) {
  struct Case {
    const wchar_t* text;
    std::int32_t lines;
  };
  for (const Case& c : {Case{L"", 1}, Case{L"a", 1}, Case{L"a\r\n", 2}, Case{L"a\r\nb", 2},
                        Case{L"1 2 3 4 5\r\n6 7 8 9 10\r\n", 3}, Case{L"\r\n\r\n", 3}}) {
    this->box->setText(c.text);
    EXPECT_EQ(this->box->lineCount(), c.lines) << "text: " << testing::PrintToString(std::wstring(c.text));
  }
}

TYPED_TEST_P(ScriptBoxContract, ReadsLinesWithoutTheirBreaks) {
  this->box->setText(L"100 2 65 0 0\r\n\r\n250 3 1 -1280 200");
  EXPECT_EQ(this->box->line(0), L"100 2 65 0 0");
  EXPECT_EQ(this->box->line(1), L"");
  EXPECT_EQ(this->box->line(2), L"250 3 1 -1280 200");
  EXPECT_EQ(this->box->line(3), L"") << "a line beyond the end reads as empty";

  this->box->setText(L"a\r\nb");
  EXPECT_EQ(this->box->line(1), L"b");
}

TYPED_TEST_P(ScriptBoxContract, LongLinesAreNotWrapped) {
  std::wstring longLine(300, L'7');
  this->box->setText(longLine);
  EXPECT_EQ(this->box->lineCount(), 1);
  EXPECT_EQ(this->box->line(0), longLine);
}

TYPED_TEST_P(ScriptBoxContract, KeepsLongTextsWhole) {
  std::wstring line = L"123456 3 1 640 480\r\n";  // 20 characters
  std::wstring text;
  while (text.size() < 40000) text += line;
  this->box->setText(text);
  EXPECT_EQ(this->box->text(), text);
  EXPECT_EQ(this->box->lineCount(), static_cast<std::int32_t>(text.size() / line.size()) + 1);
  EXPECT_EQ(this->box->line(1999), L"123456 3 1 640 480");
}

TYPED_TEST_P(ScriptBoxContract, ReplacesTheWholeText) {
  this->box->setText(L"1 2 3 4 5\r\n");
  this->box->setText(L"");
  EXPECT_EQ(this->box->text(), L"");
  EXPECT_EQ(this->box->lineCount(), 1);
  EXPECT_EQ(this->box->line(0), L"");
}

TYPED_TEST_P(ScriptBoxContract, AppendsAtTheEnd) {
  this->box->setText(L"1 2 3 4 5\r\n");
  this->box->append(L"6 3 1 -7 8\r\n");
  this->box->append(L"");
  EXPECT_EQ(this->box->text(), L"1 2 3 4 5\r\n6 3 1 -7 8\r\n");
  EXPECT_EQ(this->box->lineCount(), 3);
  EXPECT_EQ(this->box->line(1), L"6 3 1 -7 8");
}

TYPED_TEST_P(ScriptBoxContract, EveryChangeMovesTheRevision) {
  std::uint64_t before = this->box->revision();
  this->box->setText(L"a\r\n");
  std::uint64_t afterSet = this->box->revision();
  EXPECT_NE(afterSet, before);
  this->box->append(L"b\r\n");
  std::uint64_t afterAppend = this->box->revision();
  EXPECT_NE(afterAppend, afterSet);
  this->box->setText(L"a\r\nb\r\n");  // the same text again is still a change
  EXPECT_NE(this->box->revision(), afterAppend);

  std::uint64_t settled = this->box->revision();
  this->box->text();
  this->box->line(0);
  this->box->lineCount();
  this->box->setSelectionStart(2);
  EXPECT_EQ(this->box->revision(), settled) << "reading and moving the caret change nothing";
}

REGISTER_TYPED_TEST_SUITE_P(ScriptBoxContract, CountsLinesByCrLf, ReadsLinesWithoutTheirBreaks,
                            LongLinesAreNotWrapped, KeepsLongTextsWhole, ReplacesTheWholeText, AppendsAtTheEnd,
                            EveryChangeMovesTheRevision);
