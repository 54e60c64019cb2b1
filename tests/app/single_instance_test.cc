#include "app/single_instance.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* what;
  std::vector<RunningProcess> running;
  bool second;
};

// Without an answer from the session's claim: the process list of our own
// session decides.
TEST(SingleInstanceTest, WithoutTheClaimDecidesOverTheSessionsProcesses) {
  const std::wstring own = L"TAMSIK.EXE";
  const Case cases[] = {
      {"only ourselves", {{L"SYSTEM", 0}, {L"explorer.exe", 1}, {L"TAMSIK.EXE", 1}}, false},
      {"another copy", {{L"TAMSIK.EXE", 1}, {L"explorer.exe", 1}, {L"TAMSIK.EXE", 1}}, true},
      {"two copies besides ourselves", {{L"tamsik.exe", 1}, {L"TAMSIK.EXE", 1}, {L"Tamsik.exe", 1}}, true},
      {"copy whose name differs in letter case", {{L"tamsik.exe", 1}, {L"TaMsIk.ExE", 1}}, true},
      {"a name that merely ends with ours", {{L"mytamsik.exe", 1}, {L"TAMSIK.EXE", 1}}, false},
      {"a name that merely begins with ours", {{L"TAMSIK.EXE.old", 1}, {L"TAMSIK.EXE", 1}}, false},
      {"names that join into ours", {{L"TAM", 1}, {L"SIK.EXE", 1}, {L"TAMSIK.EXE", 1}}, false},
      {"a copy of another file name", {{L"tamsik2.exe", 1}, {L"TAMSIK.EXE", 1}}, false},
      {"another user's copy in another session", {{L"TAMSIK.EXE", 2}, {L"TAMSIK.EXE", 1}}, false},
      {"a copy whose session the system would not tell", {{L"TAMSIK.EXE", std::nullopt}, {L"TAMSIK.EXE", 1}},
       false},
      {"copies in two other sessions", {{L"TAMSIK.EXE", 2}, {L"TAMSIK.EXE", 3}, {L"TAMSIK.EXE", 1}}, false},
      {"empty list", {}, false},
      {"our name missing from the list", {{L"explorer.exe", 1}}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isSecondCopy(InstanceClaim::unavailable, c.running, 1, own), c.second) << c.what;
  }
}

// The claim decides whatever the list shows at that moment: a copy starting
// alongside is in the list, and the one that got the claim goes on.
TEST(SingleInstanceTest, TheSessionsClaimDecidesWhenThereIsOne) {
  const std::vector<RunningProcess> two{{L"TAMSIK.EXE", 1}, {L"TAMSIK.EXE", 1}};
  const std::vector<RunningProcess> alone{{L"TAMSIK.EXE", 1}};
  EXPECT_FALSE(isSecondCopy(InstanceClaim::claimed, two, 1, L"TAMSIK.EXE"));
  EXPECT_TRUE(isSecondCopy(InstanceClaim::heldByAnother, two, 1, L"TAMSIK.EXE"));
  EXPECT_TRUE(isSecondCopy(InstanceClaim::heldByAnother, alone, 1, L"TAMSIK.EXE"))
      << "an elevated copy may be missing from what we may query";
}

TEST(SingleInstanceTest, EmptyOwnNameNeverCountsAsACopy) {
  EXPECT_FALSE(isSecondCopy(InstanceClaim::unavailable, {{L"", 1}, {L"", 1}}, 1, L""));
}

TEST(SingleInstanceTest, NonAsciiNamesCompareExactly) {
  EXPECT_TRUE(isSecondCopy(InstanceClaim::unavailable, {{L"按键.EXE", 1}, {L"按键.exe", 1}}, 1, L"按键.exe"));
  EXPECT_FALSE(isSecondCopy(InstanceClaim::unavailable, {{L"按键.exe", 1}, {L"按建.exe", 1}}, 1, L"按键.exe"));
}

}  // namespace
