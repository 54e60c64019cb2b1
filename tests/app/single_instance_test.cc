#include "app/single_instance.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* what;
  std::vector<std::wstring> running;
  bool second;
};

TEST(SingleInstanceTest, DecidesOverProcessLists) {
  const std::wstring own = L"TAMSIK.EXE";
  const Case cases[] = {
      {"only ourselves", {L"SYSTEM", L"explorer.exe", L"TAMSIK.EXE"}, false},
      {"another copy", {L"TAMSIK.EXE", L"explorer.exe", L"TAMSIK.EXE"}, true},
      {"two copies besides ourselves", {L"tamsik.exe", L"TAMSIK.EXE", L"Tamsik.exe"}, true},
      {"copy whose name differs in letter case", {L"tamsik.exe", L"TaMsIk.ExE"}, true},
      {"a name that merely ends with ours", {L"mytamsik.exe", L"TAMSIK.EXE"}, false},
      {"a name that merely begins with ours", {L"TAMSIK.EXE.old", L"TAMSIK.EXE"}, false},
      {"names that join into ours", {L"TAM", L"SIK.EXE", L"TAMSIK.EXE"}, false},
      {"a copy of another file name", {L"tamsik2.exe", L"TAMSIK.EXE"}, false},
      {"empty list", {}, false},
      {"our name missing from the list", {L"explorer.exe"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isSecondCopy(c.running, own), c.second) << c.what;
  }
}

TEST(SingleInstanceTest, EmptyOwnNameNeverCountsAsACopy) {
  EXPECT_FALSE(isSecondCopy({L"", L""}, L""));
}

TEST(SingleInstanceTest, NonAsciiNamesCompareExactly) {
  EXPECT_TRUE(isSecondCopy({L"按键.EXE", L"按键.exe"}, L"按键.exe"));
  EXPECT_FALSE(isSecondCopy({L"按键.exe", L"按建.exe"}, L"按键.exe"));
}

}  // namespace
