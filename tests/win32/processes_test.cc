#include <windows.h>

#include "platform/win32/processes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::wstring upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

TEST(Win32ProcessesTest, OwnNameIsTheUpperCasedFileNameAndIsAmongTheRunningOfOurSession) {
  Win32Processes processes;
  const std::wstring own = processes.ownExecutableName();
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.find_first_of(L"\\/"), std::wstring::npos);
  EXPECT_EQ(own, upper(own));
  const auto running = processes.runningProcesses();
  EXPECT_EQ(std::count_if(running.begin(), running.end(),
                          [&](const RunningProcess& process) {
                            return process.name == own && process.session == processes.ownSession();
                          }),
            1);
  for (const auto& process : running) EXPECT_EQ(process.name, upper(process.name));
}

// A named mutex answers ERROR_ALREADY_EXISTS to a second CreateMutex of the
// same name also within one process, so two owners stand for two copies.
TEST(Win32ProcessesTest, TheClaimOfANameIsHeldUntilItsOwnerGoes) {
  const std::wstring name = L"TAMSIK-CLAIM-TEST-" + std::to_wstring(GetCurrentProcessId()) + L".EXE";
  {
    Win32Processes first;
    Win32Processes second;
    EXPECT_EQ(first.claimInstance(name), InstanceClaim::claimed);
    EXPECT_EQ(second.claimInstance(name), InstanceClaim::heldByAnother);
    EXPECT_EQ(second.claimInstance(L"OTHER-" + name), InstanceClaim::claimed) << "another executable name";
  }
  Win32Processes later;
  EXPECT_EQ(later.claimInstance(name), InstanceClaim::claimed);
}

}  // namespace
