#pragma once

// What the player and the recorder rely on from the script box, checked
// against every realisation so that the fake cannot drift from the real box.
// A realisation's test instantiates the suite with a factory type whose
// make() returns a std::unique_ptr<ScriptBox>.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

TYPED_TEST_P(ScriptBoxContract, KeepsLongLinesAndLongTextsWhole) {
  std::wstring longLine(300, L'7');
  this->box->setText(longLine);
  EXPECT_EQ(this->box->lineCount(), 1) << "no word wrap";
  EXPECT_EQ(this->box->text(), longLine);

  std::wstring line = L"123456 3 1 640 480\r\n";  // 20 characters
  std::wstring text;
  while (text.size() < 40000) text += line;
  this->box->setText(text);
  EXPECT_EQ(this->box->text(), text);
  EXPECT_EQ(this->box->lineCount(), static_cast<std::int32_t>(text.size() / line.size()) + 1);
}

TYPED_TEST_P(ScriptBoxContract, ReplacesTheWholeTextAndAppendsAtTheEnd) {
  this->box->setText(L"1 2 3 4 5\r\n");
  this->box->setText(L"");
  EXPECT_EQ(this->box->text(), L"");
  EXPECT_EQ(this->box->lineCount(), 1);

  this->box->setText(L"1 2 3 4 5\r\n");
  this->box->append(L"6 3 1 -7 8\r\n");
  this->box->append(L"");
  EXPECT_EQ(this->box->text(), L"1 2 3 4 5\r\n6 3 1 -7 8\r\n");
  EXPECT_EQ(this->box->lineCount(), 3);

  this->box->setSelectionStart(3);  // the caret elsewhere: still at the end
  this->box->append(L"9\r\n");
  EXPECT_EQ(this->box->text(), L"1 2 3 4 5\r\n6 3 1 -7 8\r\n9\r\n");
}

TYPED_TEST_P(ScriptBoxContract, EveryChangeMovesTheRevisionAndTellsTheListenerWithTheNewTextInPlace) {
  std::vector<std::wstring> told;
  this->box->setChangeListener([&] { told.push_back(this->box->text()); });
  std::uint64_t before = this->box->revision();
  this->box->setText(L"a\r\n");
  std::uint64_t afterSet = this->box->revision();
  EXPECT_NE(afterSet, before);
  this->box->append(L"b\r\n");
  std::uint64_t afterAppend = this->box->revision();
  EXPECT_NE(afterAppend, afterSet);
  this->box->setText(L"a\r\nb\r\n");  // the same text again is still a change
  EXPECT_NE(this->box->revision(), afterAppend);
  EXPECT_EQ(told, (std::vector<std::wstring>{L"a\r\n", L"a\r\nb\r\n", L"a\r\nb\r\n"}));

  std::uint64_t settled = this->box->revision();
  this->box->text();
  this->box->lineCount();
  this->box->setSelectionStart(2);
  EXPECT_EQ(this->box->revision(), settled) << "reading and moving the caret change nothing";
  EXPECT_EQ(told.size(), 3u);
  this->box->setChangeListener(nullptr);
  this->box->setText(L"");
  EXPECT_EQ(told.size(), 3u);
}

REGISTER_TYPED_TEST_SUITE_P(ScriptBoxContract, CountsLinesByCrLf, KeepsLongLinesAndLongTextsWhole,
                            ReplacesTheWholeTextAndAppendsAtTheEnd,
                            EveryChangeMovesTheRevisionAndTellsTheListenerWithTheNewTextInPlace);
