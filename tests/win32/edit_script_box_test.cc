#include "platform/win32/edit_script_box.h"

#include "platform/script_box_contract.h"

#include <atomic>
#include <thread>

namespace {

// Owns a hidden top-level window with the script edit control in it.
struct EditScriptBoxFactory {
  HWND window = CreateWindowExW(0, L"STATIC", L"script box test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND edit = createScriptEdit(window, 100, 9, 96, 210, 253);

  ~EditScriptBoxFactory() { DestroyWindow(window); }

  std::unique_ptr<ScriptBox> make() { return std::make_unique<EditScriptBox>(edit); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32Edit, ScriptBoxContract, EditScriptBoxFactory);

namespace {

// Changes that reach the control without going through the box object: the
// user typing, or another program setting the text.
class EditScriptBoxTest : public testing::Test {
 protected:
  EditScriptBoxFactory factory;
  EditScriptBox box{factory.edit};
};

TEST_F(EditScriptBoxTest, SeesChangesMadeBehindItsBack) {
  box.setText(L"1 2 3 4 5\r\n");
  ASSERT_EQ(box.line(0), L"1 2 3 4 5");
  std::uint64_t before = box.revision();

  SendMessageW(factory.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"9 8 7 6 5\r\nx"));
  EXPECT_NE(box.revision(), before);
  EXPECT_EQ(box.line(0), L"9 8 7 6 5");
  EXPECT_EQ(box.line(1), L"x");

  SendMessageW(factory.edit, EM_SETSEL, 13, 13);
  SendMessageW(factory.edit, WM_CHAR, L'y', 1);
  EXPECT_EQ(box.line(1), L"xy");
  EXPECT_EQ(box.lineCount(), 2);
}

TEST_F(EditScriptBoxTest, ReadsFromAnotherThreadWhileTheOwnerPumps) {
  box.setText(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  std::atomic<bool> done{false};
  std::wstring second;
  std::int32_t count = 0;
  std::thread reader([&] {
    second = box.line(1);
    count = box.lineCount();
    done = true;
  });
  while (!done) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  reader.join();
  EXPECT_EQ(second, L"20 2 65 0 0");
  EXPECT_EQ(count, 3);
}

}  // namespace
