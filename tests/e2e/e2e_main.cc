#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>

#include "support/tamsik_process.h"

namespace {
std::wstring gTamsikPath;
}

const std::wstring& tamsikPath() { return gTamsikPath; }

int main() {
  // Written as it comes: a test's output stays in order with what the
  // programs it starts print, and is there even if the test binary is cut off.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tamsik_e2e_tests PATH\\TO\\tamsik.exe [gtest options]\n");
    return 2;
  }
  gTamsikPath = argv[1];
  return RUN_ALL_TESTS();
}
