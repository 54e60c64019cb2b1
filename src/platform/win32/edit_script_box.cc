#include "platform/win32/edit_script_box.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kWatchId = 0x7473;

}  // namespace

HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                              x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (edit) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // 0 lifts the 30,000-character default
  return edit;
}

EditScriptBox::EditScriptBox(HWND edit) : edit_(edit), watch_(edit, watchChanges, kWatchId, reinterpret_cast<DWORD_PTR>(this)) {
  // Whatever was typed before counts as the text the box starts with.
  SendMessageW(edit_, EM_SETMODIFY, FALSE, 0);
}

LRESULT CALLBACK EditScriptBox::watchChanges(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) {
  auto* self = reinterpret_cast<EditScriptBox*>(data);
  ++self->depth_;
  LRESULT result = Subclass::callOriginal(hwnd, message, wParam, lParam);
  --self->depth_;
  // WM_SETTEXT leaves the modify flag clear; everything else that changes
  // the text sets it.
  if (message == WM_SETTEXT || Subclass::callOriginal(hwnd, EM_GETMODIFY, 0, 0)) {
    Subclass::callOriginal(hwnd, EM_SETMODIFY, FALSE, 0);
    ++self->revision_;
    self->changed_ = true;
  }
  // Told once the outermost message is done, so that the text is whole.
  if (self->depth_ == 0 && self->changed_) {
    self->changed_ = false;
    if (self->changeListener_) self->changeListener_();
  }
  return result;
}

std::wstring EditScriptBox::text() {
  auto length = static_cast<std::size_t>(SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  LRESULT copied = SendMessageW(edit_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void EditScriptBox::setText(const std::wstring& text) { SetWindowTextW(edit_, text.c_str()); }

void EditScriptBox::append(const std::wstring& text) {
  auto end = static_cast<DWORD>(GetWindowTextLengthW(edit_));
  DWORD selectionStart = 0, selectionEnd = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
  // After an append the caret is at the end already; placing it again would
  // cost the control a walk over all its lines.
  if (selectionStart != end || selectionEnd != end) SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Without word wrap the control breaks lines at CR LF alone.
std::int32_t EditScriptBox::lineCount() { return static_cast<std::int32_t>(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0)); }

void EditScriptBox::setSelectionStart(std::int32_t offset) {
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(offset), static_cast<LPARAM>(offset));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}
