// The example script of the release archive, played by tamsik.exe into a
// Wine notepad.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
#include <string>

#include "support/notepad.h"
#include "support/tamsik_window.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

std::filesystem::path examplePath() {
  std::string directory = TAMSIK_EXAMPLES_DIR;
  // A Linux path, seen from Wine through the drive that maps the root.
  if (directory.starts_with('/')) directory = "Z:" + directory;
  return std::filesystem::path(directory) / "notepad_hello.sbj";
}

TEST(ExampleScriptE2eTest, TypesItsLineIntoNotepad) {
  const std::string bytes = fileBytes(examplePath());
  ASSERT_FALSE(bytes.empty()) << examplePath();
  std::size_t lines = 0;
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1), ++lines) {
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "a line without CR LF after byte " << at;
  }
  ASSERT_TRUE(bytes.ends_with("\r\n"));

  TamsikWindow tamsik;
  ASSERT_TRUE(tamsik.started());
  ASSERT_NE(tamsik.window(), nullptr);
  Notepad notepad;
  ASSERT_NE(notepad.edit, nullptr) << "no notepad";
  ASSERT_TRUE(notepad.focus());

  std::wstring script(bytes.begin(), bytes.end());  // ASCII
  tamsik.setScript(script);
  ASSERT_EQ(xdotool(L"key F12"), 0);
  EXPECT_TRUE(pumpUntil([&] { return notepad.text() == L"hello from tamsik\r\n"; }, 20s))
      << testing::PrintToString(notepad.text());
  std::printf("%zu lines typed \"hello from tamsik\" and Enter\n", lines);
}

}  // namespace
