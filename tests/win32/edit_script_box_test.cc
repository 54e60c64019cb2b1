#include "platform/win32/edit_script_box.h"

#include "platform/script_box_contract.h"

#include <string>
#include <vector>

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
  void SetUp() override { box.setChangeListener([this] { told.push_back(box.text()); }); }

  EditScriptBoxFactory factory;
  EditScriptBox box{factory.edit};
  std::vector<std::wstring> told;
};

TEST_F(EditScriptBoxTest, SeesChangesMadeBehindItsBack) {
  box.setText(L"1 2 3 4 5\r\n");
  std::uint64_t before = box.revision();

  SendMessageW(factory.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"9 8 7 6 5\r\nx"));
  EXPECT_NE(box.revision(), before);
  SendMessageW(factory.edit, EM_SETSEL, 13, 13);
  SendMessageW(factory.edit, WM_CHAR, L'y', 1);
  SendMessageW(factory.edit, EM_SETSEL, 0, 1);
  SendMessageW(factory.edit, WM_CLEAR, 0, 0);
  SendMessageW(factory.edit, EM_UNDO, 0, 0);
  EXPECT_EQ(box.text(), L"9 8 7 6 5\r\nxy");
  EXPECT_EQ(told, (std::vector<std::wstring>{L"1 2 3 4 5\r\n", L"9 8 7 6 5\r\nx", L"9 8 7 6 5\r\nxy",
                                             L" 8 7 6 5\r\nxy", L"9 8 7 6 5\r\nxy"}));
  EXPECT_EQ(box.lineCount(), 2);
}

// The recorder relies on this: after an append the caret needs no placing.
TEST_F(EditScriptBoxTest, AnAppendLeavesTheCaretAfterItInView) {
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"100 0 65 0 0\r\n";
  box.setText(text);
  box.setSelectionStart(3);
  box.append(L"1 2 3 4 5\r\n");
  DWORD start = 0, end = 0;
  SendMessageW(factory.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, text.size() + 11);
  EXPECT_EQ(end, start);
  EXPECT_GT(SendMessageW(factory.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 150);
}

}  // namespace
