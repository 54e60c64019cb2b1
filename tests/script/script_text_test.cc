#include "script/script_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "script/script_line.h"

namespace {

TEST(ScriptTextTest, OnlyCrLfEndsALine) {
  struct Case {
    std::wstring_view text;
    std::int32_t lines;
  };
  const Case cases[] = {
      {L"", 1},        {L"a", 1},      {L"a\r\n", 2},  {L"a\r\nb", 2},   {L"\r\n\r\n", 3},
      {L"a\nb", 1},    {L"a\rb", 1},   {L"\n\r", 1},   {L"\r\r\n", 2},   {L"\r\n\n\r\n", 3},
      {L"\r\n\r", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScriptSnapshot(std::wstring(c.text)).lineCount(), c.lines) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(ScriptTextTest, LinesComeWithoutTheirBreak) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    std::wstring_view text;
    std::int32_t index;
    std::wstring_view line;
  };
  const Case cases[] = {
      {L"a\r\nb", 0, L"a"},    {L"a\r\nb", 1, L"b"},       {L"a\nb", 0, L"a\nb"},     {L"\r\r\n", 0, L"\r"},
      {L"x\r\n", 1, L""},      {L"\r\n\r\nz", 1, L""},     {L"\r\n\r\nz", 2, L"z"},   {L"a\r\n\nb", 1, L"\nb"},
      // Outside 0..count-1.
      {L"", 0, L""},           {L"a", 1, L""},             {L"a\r\nb", 2, L""},        {L"a", -1, L""},
      {L"a\r\nb", kMax, L""},  {L"a\r\nb", kMin, L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScriptSnapshot(std::wstring(c.text)).line(c.index), c.line) << testing::PrintToString(std::wstring(c.text)) << " line " << c.index;
  }
}

TEST(ScriptTextTest, RecordedScriptReadsBackLineByLine) {
  const ScriptLine recorded[] = {
      {0, 3, 1, 640, 480}, {250, 0, 65, 0, 0}, {400, 2, 65, 0, 0}, {1790, 3, 2, -1280, -5},
  };
  std::wstring text;
  for (const ScriptLine& l : recorded) {
    text += l.kind == 3 ? mouseLine(l.time, l.code, l.x, l.y) : keyLine(l.time, l.kind, l.code);
  }
  const ScriptSnapshot box(text);
  ASSERT_EQ(box.lineCount(), 5);
  for (std::int32_t i = 0; i < 4; ++i) EXPECT_EQ(readScriptLine(box.line(i)), recorded[i]) << "line " << i;
  EXPECT_EQ(box.line(4), L"");
  EXPECT_EQ(readScriptLine(box.line(4)), std::nullopt);
}

}  // namespace
