// Script files through tamsik.exe's real open and save dialogs, driven with
// X input.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/tamsik_process.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FilesE2eTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tamsik.started());
    window = tamsik.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    directory = std::filesystem::path(temp) / (L"tamsik-e2e-files-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }

  HWND control(int id) { return findControl(window, id); }
  std::wstring box() { return windowText(control(control_id::脚本框)); }
  void setBox(const std::wstring& text) {
    SendMessageW(control(control_id::脚本框), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  std::wstring message() { return remoteStatusText(control(control_id::状态条1), 1); }

  HWND dialog() { return tamsik.findWindow(L"#32770"); }

  // Clicks the button, types the file name into the dialog it opens and
  // presses Return, or Escape when the name is empty.
  void useDialog(int button, const std::wstring& name) {
    RECT rect;
    GetWindowRect(control(button), &rect);
    ASSERT_EQ(xdotool(L"mousemove " + std::to_wstring((rect.left + rect.right) / 2) + L" " +
                      std::to_wstring((rect.top + rect.bottom) / 2) + L" click 1"),
              0);
    HWND shown = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (shown = dialog()) != nullptr; }, 10s)) << "no dialog";
    GetWindowRect(shown, &rect);
    // Keys reach Wine while the pointer is over one of its windows.
    ASSERT_EQ(xdotool(L"mousemove " + std::to_wstring(rect.left + 20) + L" " + std::to_wstring(rect.top + 10)), 0);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == shown; }));
    if (name.empty()) {
      ASSERT_EQ(xdotool(L"key Escape"), 0);
    } else {
      ASSERT_EQ(xdotool(L"type --delay 10 '" + (directory / name).wstring() + L"'"), 0);
      ASSERT_EQ(xdotool(L"key Return"), 0);
    }
    // The main window takes clicks again once the dialog is destroyed, which
    // Wine does seconds after hiding it when there is no window manager.
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(shown) && IsWindowEnabled(window); }, 10s))
        << "the dialog stayed open";
    // Answered once the button's handler has returned, the file written.
    SendMessageW(window, WM_NULL, 0, 0);
  }

  TamsikProcess tamsik;
  HWND window = nullptr;
  std::filesystem::path directory;
};

TEST_F(FilesE2eTest, SavesTheBoxAsGbkAndOpensItAgain) {
  const std::wstring script = L"10 0 65 0 0\r\n脚本\r\n20 2 65 0 0";
  setBox(script);
  useDialog(control_id::保存脚本按钮, L"saved");  // the dialog adds .sbj
  const std::string bytes = fileBytes(directory / L"saved.sbj");
  EXPECT_EQ(bytes, "10 0 65 0 0\r\n\xBD\xC5\xB1\xBE\r\n20 2 65 0 0");
  EXPECT_EQ(message(), L"") << "a successful save says nothing";

  setBox(L"");
  useDialog(control_id::打开脚本按钮, L"saved.sbj");
  EXPECT_EQ(box(), script);
  EXPECT_EQ(message(), L"共3条脚本");

  // Cancelled dialogs change nothing.
  setBox(L"unsaved");
  useDialog(control_id::打开脚本按钮, L"");
  useDialog(control_id::保存脚本按钮, L"");
  EXPECT_EQ(box(), L"unsaved");
  EXPECT_EQ(fileBytes(directory / L"saved.sbj"), bytes);
}

TEST_F(FilesE2eTest, KeepsEveryByteOfAFileItOpensAndSavesAgain) {
  const std::string bytes = "10 0 65 0 0\r\n\xBD\xC5\xB1\xBE\xFF\x81\r\n\x80\xA1\r\n\xD1";
  writeFile(directory / L"odd.sbj", bytes + "\0after the zero"s);
  useDialog(control_id::打开脚本按钮, L"odd.sbj");
  EXPECT_EQ(message(), L"共4条脚本");
  useDialog(control_id::保存脚本按钮, L"copy.sbj");
  EXPECT_EQ(fileBytes(directory / L"copy.sbj"), bytes);
}

}  // namespace
