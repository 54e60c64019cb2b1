#include "platform/win32/edit_script_box.h"

HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                              x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (edit) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // 0 lifts the 30,000-character default
  return edit;
}

std::wstring EditScriptBox::text() {
  int length = GetWindowTextLengthW(edit_);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void EditScriptBox::setText(const std::wstring& text) {
  SetWindowTextW(edit_, text.c_str());
  ++revision_;
}

void EditScriptBox::append(const std::wstring& text) {
  int end = GetWindowTextLengthW(edit_);
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  ++revision_;
}

std::int32_t EditScriptBox::lineCount() {
  return static_cast<std::int32_t>(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0));
}

std::wstring EditScriptBox::line(std::int32_t index) {
  if (index < 0) return {};  // EM_LINEINDEX takes -1 as "the caret's line"
  LRESULT start = SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0) return {};
  LRESULT length = SendMessageW(edit_, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  if (length <= 0) return {};
  if (length > 0xFFFF) {
    // EM_GETLINE announces its buffer size in one WORD.
    return text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
  }
  std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
  line[0] = static_cast<wchar_t>(length + 1);
  LRESULT copied = SendMessageW(edit_, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
  line.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return line;
}

void EditScriptBox::setSelectionStart(std::int32_t offset) {
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(offset), static_cast<LPARAM>(offset));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}
