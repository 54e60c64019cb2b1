// Script files through tamsik.exe's real open and save dialogs, driven with
// X input.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/file_dialog.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FilesE2eTest : public TamsikE2eTest {
 protected:
  void useDialog(int button, const std::wstring& name) {
    ASSERT_TRUE(useFileDialog(tamsik, button, name.empty() ? L"" : (directory / name).wstring()));
  }

  TemporaryDirectory temporary{L"tamsik-e2e-files"};
  const std::filesystem::path& directory = temporary.path();
};

TEST_F(FilesE2eTest, SavesTheBoxAsGbkAndOpensItAgain) {
  const std::wstring script = L"10 0 65 0 0\r\n脚本\r\n20 2 65 0 0";
  tamsik.setScript(script);
  useDialog(control_id::保存脚本按钮, L"saved");  // the dialog adds .sbj
  const std::string bytes = fileBytes(directory / L"saved.sbj");
  EXPECT_EQ(bytes, "10 0 65 0 0\r\n\xBD\xC5\xB1\xBE\r\n20 2 65 0 0");
  EXPECT_EQ(tamsik.status(), L"") << "a successful save says nothing";

  tamsik.setScript(L"");
  useDialog(control_id::打开脚本按钮, L"saved.sbj");
  EXPECT_EQ(tamsik.script(), script);
  EXPECT_EQ(tamsik.status(), L"共3条脚本");

  // Cancelled dialogs change nothing.
  tamsik.setScript(L"unsaved");
  useDialog(control_id::打开脚本按钮, L"");
  useDialog(control_id::保存脚本按钮, L"");
  EXPECT_EQ(tamsik.script(), L"unsaved");
  EXPECT_EQ(fileBytes(directory / L"saved.sbj"), bytes);
}

TEST_F(FilesE2eTest, KeepsEveryByteOfAFileItOpensAndSavesAgain) {
  const std::string bytes = "10 0 65 0 0\r\n\xBD\xC5\xB1\xBE\xFF\x81\r\n\x80\xA1\r\n\xD1";
  writeFile(directory / L"odd.sbj", bytes + "\0after the zero"s);
  useDialog(control_id::打开脚本按钮, L"odd.sbj");
  EXPECT_EQ(tamsik.status(), L"共4条脚本");
  useDialog(control_id::保存脚本按钮, L"copy.sbj");
  EXPECT_EQ(fileBytes(directory / L"copy.sbj"), bytes);
}

}  // namespace
