#include "script/script_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace std::literals;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(ScriptLineTest, WritesRecordedEventsInPlainForm) {
  struct Case {
    std::wstring written;
    const wchar_t* text;
  };
  const Case cases[] = {
      {keyLine(2015, 2, 65), L"2015 2 65 0 0\r\n"},
      {keyLine(0, 0, 0x0D), L"0 0 13 0 0\r\n"},
      {mouseLine(100, 1, -1280, 200), L"100 3 1 -1280 200\r\n"},
      {mouseLine(kMax, 0x8001, kMin, -1), L"2147483647 3 32769 -2147483648 -1\r\n"},
      {keyLine(kMin, -10, kMax), L"-2147483648 -10 2147483647 0 0\r\n"},
      // The sixth field, only where one is given.
      {keyLine(50, 0, 0x0D, true), L"50 0 13 0 0 1\r\n"},
      {keyLine(60, 2, 0x24, false), L"60 2 36 0 0 0\r\n"},
      {mouseLine(1355, 0x0800, 600, 300, -120), L"1355 3 2048 600 300 -120\r\n"},
      {mouseLine(1400, 0x1000, -5, 0, 240), L"1400 3 4096 -5 0 240\r\n"},
      {mouseLine(1500, 0x0080, 7, 8, 1), L"1500 3 128 7 8 1\r\n"},
      {mouseLine(1501, 0x0100, 7, 8, 2), L"1501 3 256 7 8 2\r\n"},
      {mouseLine(1502, 0x0800, 7, 8, 0), L"1502 3 2048 7 8 0\r\n"},
      {mouseLine(1503, 0x0800, 7, 8, kMin), L"1503 3 2048 7 8 -2147483648\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.written, c.text);
}

TEST(ScriptLineTest, RecordedLinesReadBackWithoutTheirBreak) {
  struct Case {
    std::wstring written;
    ScriptLine read;
  };
  const Case cases[] = {
      {keyLine(2015, 2, 65), {2015, 2, 65, 0, 0}},
      {keyLine(kMax, 0, kMin), {kMax, 0, kMin, 0, 0}},
      {keyLine(kMin, kMax, -1), {kMin, kMax, -1, 0, 0}},
      {mouseLine(100, 1, -1280, 200), {100, 3, 1, -1280, 200}},
      {mouseLine(kMin, kMax, kMin, kMax), {kMin, 3, kMax, kMin, kMax}},
      {mouseLine(7, 0x0800, -1, -2147483647), {7, 3, 0x0800, -1, -2147483647}},
      {keyLine(50, 0, 0x0D, true), {50, 0, 0x0D, 0, 0, 1}},
      {keyLine(60, 2, 0x24, false), {60, 2, 0x24, 0, 0, 0}},
      {mouseLine(1355, 0x0800, 600, 300, -120), {1355, 3, 0x0800, 600, 300, -120}},
      {mouseLine(1500, 0x0080, 7, 8, 1), {1500, 3, 0x0080, 7, 8, 1}},
      {mouseLine(1, 0x1000, 2, 3, kMax), {1, 3, 0x1000, 2, 3, kMax}},
  };
  for (const Case& c : cases) {
    std::wstring_view line(c.written);
    ASSERT_TRUE(line.ends_with(L"\r\n"));
    line.remove_suffix(2);
    EXPECT_EQ(readScriptLine(line), c.read) << testing::PrintToString(c.written);
  }
}

TEST(ScriptLineTest, ReadsTheFirstFiveDecimalFields) {
  struct Case {
    std::wstring_view line;
    ScriptLine read;
  };
  const Case cases[] = {
      {L"2015 2 65 0 0", {2015, 2, 65, 0, 0}},
      {L"100 3 1 -1280 200", {100, 3, 1, -1280, 200}},
      {L"10 0 65 7 -8", {10, 0, 65, 7, -8}},  // key action with a point: kept as written
      {L"1 5 65 0 0", {1, 5, 65, 0, 0}},
      {L"1 -1 65 0 0", {1, -1, 65, 0, 0}},
      // The sixth field is read like the others; an unusable one is absent,
      // and later fields are ignored, whatever they hold.
      {L"1 2 3 4 5 6", {1, 2, 3, 4, 5, 6}},
      {L"1 2 3 4 5 6 7", {1, 2, 3, 4, 5, 6}},
      {L"1 3 2048 4 5 -120 x y z", {1, 3, 2048, 4, 5, -120}},
      {L"1 3 2048 4 5 -120.7", {1, 3, 2048, 4, 5, -120}},
      {L"1 3 2048 4 5 1e12", {1, 3, 2048, 4, 5, kMax}},
      {L"1 2 3 4 5 nan \r\0x"sv, {1, 2, 3, 4, 5}},
      {L"1 2 3 4 5 0x10", {1, 2, 3, 4, 5}},
      {L"1 2 3 4 5 -", {1, 2, 3, 4, 5}},
      {L"1 2 3 4 5 7\r", {1, 2, 3, 4, 5}},
      {L"1 2 3 4 5 ", {1, 2, 3, 4, 5}},
      {L"1 2 3 4 5  6", {1, 2, 3, 4, 5}},
      // Fractions truncate toward zero.
      {L"12.9 -3.7 -0.5 0.99 -12.", {12, -3, 0, 0, -12}},
      {L".5 -.5 +7 -0 007", {0, 0, 7, 0, 7}},
      {L"1e3 2.5E-1 1.5e1 0.0001e4 -12e-1", {1000, 0, 15, 1, -1}},
      {L"1e+2 0e999999999999999999 5e-999999999999999999 123456789e-8 1E0", {100, 0, 0, 1, 1}},
      // Beyond the int32 range: saturated.
      {L"1e12 -1e12 1e400 -1e400 0", {kMax, kMin, kMax, kMin, 0}},
      {L"2147483647 2147483648 -2147483648 -2147483649 99999999999999999999", {kMax, kMax, kMin, kMin, kMax}},
      {L"2147483647.99 -2147483648.99 21474836.48e2 -0.2147483649e10 1e99999999999999999999999",
       {kMax, kMin, kMax, kMin, kMax}},
      {L"2147483646.999999999999999999 00000000000000000000012 4294967296 -4294967296 4294967295",
       {2147483646, 12, kMax, kMin, kMax}},
  };
  for (const Case& c : cases) EXPECT_EQ(readScriptLine(c.line), c.read) << testing::PrintToString(std::wstring(c.line));
}

TEST(ScriptLineTest, LinesWithoutFiveUsableFieldsAreNotPlayed) {
  const std::wstring_view cases[] = {
      L"", L" ", L"    ", L"1 2 3 4", L"1 2 3 4 ", L"12345",
      L"1  2 3 4 5",   // two spaces: an empty second field
      L" 1 2 3 4 5",   // empty first field
      L"nan 2 3 4 5", L"1 inf 3 4 5", L"1 2 -infinity 4 5", L"1 2 0x10 4 5", L"1 2 3 abc 5", L"1 2 3 4 12abc",
      L"- 2 3 4 5", L". 2 3 4 5", L"1e 2 3 4 5", L"e5 2 3 4 5", L"1e+ 2 3 4 5", L"+-1 2 3 4 5", L"--1 2 3 4 5",
      L"1.2.3 2 3 4 5", L"1,5 2 3 4 5", L"1 2 3 4 1_000", L"1 2 3 4 5.e",
      L"1 2 3 4 5\r",  // a stray CR ends up in the fifth field
      L"1 2\r3 4 5 6", L"1 2 3 4 5\r\n", L"1\t2 3 4 5 6", L"1 2 3 4\u00A05",
      L"1 2 3 4 5\0"sv, L"1 2\0 3 4 5"sv, L"\x0001 2 3 4 5", L"1 2 3 4 \x007f",
      L"1 2 3 4 \xD800", L"1 2 3 \xDC00\x0035 5",  // unpaired surrogates
      L"1 2 3 4 \xFF15", L"1 2 3 4 \x0665",      // digits of other scripts
  };
  for (std::wstring_view line : cases) {
    EXPECT_EQ(readScriptLine(line), std::nullopt) << testing::PrintToString(std::wstring(line));
  }
}

TEST(ScriptLineTest, TenMegabyteLinesAreReadInPlace) {
  constexpr std::size_t kLong = 10 << 20;
  EXPECT_EQ(readScriptLine(L"1 2 3 4 " + std::wstring(kLong, L'9')), (ScriptLine{1, 2, 3, 4, kMax}));
  EXPECT_EQ(readScriptLine(L"1 2 3 -" + std::wstring(kLong, L'0') + L"42 5"), (ScriptLine{1, 2, 3, -42, 5}));
  EXPECT_EQ(readScriptLine(L"1 2 3 4 0." + std::wstring(kLong, L'9')), (ScriptLine{1, 2, 3, 4, 0}));
  EXPECT_EQ(readScriptLine(L"1 2 3 4 5 " + std::wstring(kLong, L'x')), (ScriptLine{1, 2, 3, 4, 5}));
  EXPECT_EQ(readScriptLine(L"1 2 3 4 5 6 " + std::wstring(kLong, L'x')), (ScriptLine{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(readScriptLine(L"1 2 3 4 5 -" + std::wstring(kLong, L'9')), (ScriptLine{1, 2, 3, 4, 5, kMin}));
  EXPECT_EQ(readScriptLine(std::wstring(kLong, L'7')), std::nullopt);
  EXPECT_EQ(readScriptLine(std::wstring(kLong, L' ')), std::nullopt);
}

}  // namespace
