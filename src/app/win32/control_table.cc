#include "app/win32/control_table.h"

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/texts.h"

namespace {

constexpr int kSensitivityMin = 5, kSensitivityMax = 50, kSensitivityStart = 10;

enum class Kind { GroupBox, CheckBox, Label, TransparentLabel, ReadOnlyNumber, Arrows, Button, ComboBox, ScriptEdit };

struct ControlDef {
  int id;
  Kind kind;
  int parent;  // 0: the window's client area
  const wchar_t* caption;
  bool checked;
};

// In the order of creation, parents first.
constexpr ControlDef kControls[] = {
    {control_id::分组框1, Kind::GroupBox, 0, texts::k分组框1, false},
    {control_id::选择框1, Kind::CheckBox, control_id::分组框1, texts::k选择框1, true},
    {control_id::选择框2, Kind::CheckBox, control_id::分组框1, texts::k选择框2, false},
    {control_id::选择框3, Kind::CheckBox, control_id::分组框1, texts::k选择框3, true},
    {control_id::选择框4, Kind::CheckBox, control_id::分组框1, texts::k选择框4, true},
    {control_id::选择框5, Kind::CheckBox, control_id::分组框1, texts::k选择框5, false},
    {control_id::选择框6, Kind::CheckBox, control_id::分组框1, texts::k选择框6, true},
    {control_id::选择框7, Kind::CheckBox, control_id::分组框1, texts::k选择框7, true},
    {control_id::标签4, Kind::Label, control_id::分组框1, texts::k标签4, false},
    {control_id::编辑框1, Kind::ReadOnlyNumber, control_id::分组框1, texts::k编辑框1, false},
    {control_id::编辑框1Arrows, Kind::Arrows, control_id::分组框1, L"", false},
    {control_id::标签2, Kind::Label, control_id::分组框1, texts::k标签2, false},
    {control_id::标签3, Kind::Label, control_id::分组框1, L"", false},
    {control_id::按钮2, Kind::Button, control_id::分组框1, texts::k按钮2, false},
    {control_id::分组框2, Kind::GroupBox, 0, texts::k分组框2, false},
    {control_id::透明标签1, Kind::TransparentLabel, control_id::分组框2, texts::k透明标签1, false},
    {control_id::组合框, Kind::ComboBox, control_id::分组框2, L"", false},
    {control_id::打开脚本按钮, Kind::Button, control_id::分组框2, texts::k打开脚本按钮, false},
    {control_id::保存脚本按钮, Kind::Button, control_id::分组框2, texts::k保存脚本按钮, false},
    {control_id::按钮1, Kind::Button, control_id::分组框2, texts::k按钮1, false},
    {control_id::脚本框, Kind::ScriptEdit, control_id::分组框2, L"", false},
};

// Group boxes parent controls of their own; their notifications belong to the
// main window.
LRESULT CALLBACK forwardToMainWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_VSCROLL:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    default:
      return Subclass::callOriginal(hwnd, message, wParam, lParam);
  }
}

HWND createChild(const wchar_t* className, const wchar_t* caption, DWORD style, HWND parent, int id) {
  return CreateWindowExW(0, className, caption, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HWND createControl(const ControlDef& def, HWND parent) {
  switch (def.kind) {
    case Kind::GroupBox: return createChild(L"BUTTON", def.caption, BS_GROUPBOX, parent, def.id);
    case Kind::CheckBox: return createChild(L"BUTTON", def.caption, BS_AUTOCHECKBOX | WS_TABSTOP, parent, def.id);
    case Kind::Button: return createChild(L"BUTTON", def.caption, BS_PUSHBUTTON | WS_TABSTOP, parent, def.id);
    case Kind::Label:
    case Kind::TransparentLabel: return createChild(L"STATIC", def.caption, SS_LEFT, parent, def.id);
    case Kind::ReadOnlyNumber:
      return createChild(L"EDIT", def.caption, ES_READONLY | ES_NUMBER | ES_CENTER | WS_BORDER, parent, def.id);
    case Kind::Arrows:
      return createChild(UPDOWN_CLASSW, def.caption, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, parent, def.id);
    case Kind::ComboBox:
      return createChild(WC_COMBOBOXW, def.caption, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, parent, def.id);
    case Kind::ScriptEdit: return createScriptEdit(parent, def.id, 0, 0, 0, 0);
  }
  return nullptr;
}

}  // namespace

void ControlTable::create(HWND window) {
  int groupBoxes = 0;
  for (const ControlDef& def : kControls) {
    HWND created = createControl(def, def.parent ? get(def.parent) : window);
    windows_[def.id] = created;
    if (def.kind == Kind::GroupBox) {
      groupBoxes_[groupBoxes++] = std::make_unique<Subclass>(created, forwardToMainWindow, 0, 0);
    }
    if (def.kind == Kind::CheckBox) SendMessageW(created, BM_SETCHECK, def.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  HWND arrows = get(control_id::编辑框1Arrows);
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(get(control_id::编辑框1)), 0);
  SendMessageW(arrows, UDM_SETRANGE32, kSensitivityMin, kSensitivityMax);
  SendMessageW(arrows, UDM_SETPOS32, 0, kSensitivityStart);
  // Two digits barely fit into the box's 20 pixels without its margins.
  SendMessageW(get(control_id::编辑框1), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  SetWindowTextW(get(control_id::编辑框1), texts::k编辑框1);
  windows_[control_id::状态条1] = createChild(STATUSCLASSNAMEW, L"", 0, window, control_id::状态条1);

  scriptBox_ = std::make_unique<EditScriptBox>(get(control_id::脚本框));
  windowList_ = std::make_unique<ComboWindowListBox>(get(control_id::组合框));
  loopOption_ = std::make_unique<CheckBoxMirror>(get(control_id::选择框2));
}

HWND ControlTable::get(int id) const {
  auto found = windows_.find(id);
  return found == windows_.end() ? nullptr : found->second;
}
