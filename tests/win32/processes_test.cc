#include <windows.h>

#include "platform/win32/processes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::wstring upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

TEST(Win32ProcessesTest, OwnNameIsTheUpperCasedFileNameAndIsAmongTheRunning) {
  Win32Processes processes;
  const std::wstring own = processes.ownExecutableName();
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.find_first_of(L"\\/"), std::wstring::npos);
  EXPECT_EQ(own, upper(own));
  const auto running = processes.runningExecutableNames();
  EXPECT_EQ(std::count(running.begin(), running.end(), own), 1);
  for (const auto& name : running) EXPECT_EQ(name, upper(name));
}

}  // namespace
