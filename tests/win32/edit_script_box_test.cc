#include "platform/win32/edit_script_box.h"

#include "platform/script_box_contract.h"

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
