// tamsik.exe under load: a script loops as fast as it can while recordings
// start and end, the box is cleared, scripts are saved and opened, and F12
// and F11 come in storms. After every step the window answers at once, and in
// the end a close ends the process cleanly.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/control_ids.h"
#include "support/file_dialog.h"
#include "support/notepad.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kLoop[] = L"1 0 124 0 0\r\n2 2 124 0 0\r\n";

class StressE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    ASSERT_NE(notepad.window, nullptr);
  }

  // The window answers a message within a second.
  void expectAnswers(const char* after) {
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored))
        << "no answer within 1 s after " << after;
  }

  Notepad notepad;
  TemporaryDirectory temporary{L"tamsik-e2e-stress"};
  const std::filesystem::path& directory = temporary.path();
};

TEST_F(StressE2eTest, StaysResponsiveUnderAFastLoopAndEndsCleanly) {
  // F13 pressed and released in a loop 3 ms apart: no window acts on it, and
  // it does not change what is typed into the file dialogs.
  tamsik.setScript(kLoop);
  tamsik.setChecked(control_id::选择框2, true);
  tamsik.setChecked(control_id::选择框3, false);
  tamsik.setChecked(control_id::选择框4, false);
  ASSERT_TRUE(notepad.focus());
  key(L"F12");
  ASSERT_NO_FATAL_FAILURE(expectAnswers("F12"));

  // Recordings of a key each (Shift, which the loop then plays); the run goes
  // on reading the box as it fills.
  // Each in one burst, so that the recording ends while its last line is on
  // its way to the box and the run reads the box anew.
  // The last one, of two taps, is told from the others by its four lines.
  for (int i = 0; i < 50; ++i) {
    key(i < 49 ? L"--delay 2 Scroll_Lock Shift_L Scroll_Lock" : L"--delay 2 Scroll_Lock Shift_L Shift_L Scroll_Lock");
    ASSERT_NO_FATAL_FAILURE(expectAnswers("a recording")) << "recording " << i;
  }
  // Input reaches the window after messages sent to it: a box changed before
  // the last lines came would be refilled from the recording, as it must be.
  ASSERT_TRUE(waitUntil("the last recording's four lines in the box", [&] {
    const std::wstring text = tamsik.script();
    int lines = 0;
    for (std::size_t at = 0; (at = text.find(L" 160 0 0\r\n", at)) != std::wstring::npos; ++at) ++lines;
    return lines == 4;
  }));

  SendMessageW(control(control_id::按钮2), BM_CLICK, 0, 0);
  ASSERT_NO_FATAL_FAILURE(expectAnswers("clearing the box"));
  for (int i = 0; i < 3; ++i) {
    tamsik.setScript(kLoop);
    const std::wstring file = (directory / (L"stress" + std::to_wstring(i) + L".sbj")).wstring();
    ASSERT_TRUE(useFileDialogByMessages(tamsik, control_id::保存脚本按钮, file));
    ASSERT_NO_FATAL_FAILURE(expectAnswers("a save"));
    SendMessageW(control(control_id::按钮2), BM_CLICK, 0, 0);
    ASSERT_TRUE(useFileDialogByMessages(tamsik, control_id::打开脚本按钮, file));
    ASSERT_NO_FATAL_FAILURE(expectAnswers("an open"));
    EXPECT_EQ(tamsik.script(), kLoop);
  }

  ASSERT_TRUE(notepad.focus());
  std::wstring storm;
  for (int i = 0; i < 40; ++i) storm += L" F12 F11";
  key(storm + L" F12");
  ASSERT_NO_FATAL_FAILURE(expectAnswers("a storm of F12 and F11"));
  tamsik.setChecked(control_id::选择框2, true);
  key(L"F12 F11 F12");
  ASSERT_NO_FATAL_FAILURE(expectAnswers("a second storm"));

  EXPECT_EQ(tamsik.close(5s), 0u);
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0) << "the stopped run left Shift down";
}

}  // namespace
