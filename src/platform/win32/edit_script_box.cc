#include "platform/win32/edit_script_box.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kWatchId = 0x7473;

// Messages after which the text may differ. A few of them (a caret key) do
// not change it; a needless new revision only costs a fresh copy.
bool mayChangeText(UINT message) {
  switch (message) {
    case WM_SETTEXT:
    case EM_REPLACESEL:
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
      return true;
    default:
      return false;
  }
}

}  // namespace

HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height) {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                              x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (edit) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // 0 lifts the 30,000-character default
  return edit;
}

EditScriptBox::EditScriptBox(HWND edit) : edit_(edit) {
  SetWindowSubclass(edit_, watchChanges, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

EditScriptBox::~EditScriptBox() { RemoveWindowSubclass(edit_, watchChanges, kWatchId); }

LRESULT CALLBACK EditScriptBox::watchChanges(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
  LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  // Counted after the change, so that a reader never pairs the new revision
  // with the old text.
  if (mayChangeText(message)) reinterpret_cast<EditScriptBox*>(self)->noteChanged();
  return result;
}

std::wstring EditScriptBox::readText() {
  auto length = static_cast<std::size_t>(SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  LRESULT copied = SendMessageW(edit_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

void EditScriptBox::refreshCopy() {
  std::uint64_t revision = revision_.load();
  if (revision == copyRevision_) return;
  copy_ = readText();
  lineStarts_.assign(1, 0);
  for (std::size_t pos = copy_.find(L"\r\n"); pos != std::wstring::npos; pos = copy_.find(L"\r\n", pos + 2)) {
    lineStarts_.push_back(pos + 2);
  }
  copyRevision_ = revision;
}

std::wstring EditScriptBox::text() {
  std::lock_guard lock(mutex_);
  refreshCopy();
  return copy_;
}

void EditScriptBox::setText(const std::wstring& text) { SetWindowTextW(edit_, text.c_str()); }

void EditScriptBox::append(const std::wstring& text) {
  auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
  SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::int32_t EditScriptBox::lineCount() {
  std::lock_guard lock(mutex_);
  refreshCopy();
  return static_cast<std::int32_t>(lineStarts_.size());
}

std::wstring EditScriptBox::line(std::int32_t index) {
  std::lock_guard lock(mutex_);
  refreshCopy();
  if (index < 0 || static_cast<std::size_t>(index) >= lineStarts_.size()) return {};
  std::size_t begin = lineStarts_[static_cast<std::size_t>(index)];
  std::size_t end = static_cast<std::size_t>(index) + 1 < lineStarts_.size()
                        ? lineStarts_[static_cast<std::size_t>(index) + 1] - 2
                        : copy_.size();
  return copy_.substr(begin, end - begin);
}

void EditScriptBox::setSelectionStart(std::int32_t offset) {
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(offset), static_cast<LPARAM>(offset));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}
