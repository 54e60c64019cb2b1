#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/script_box.h"
#include "platform/win32/handles.h"

// Creates the multi-line edit control that holds the script: no word wrap, a
// vertical scroll bar only (script lines are short, and the caret still
// scrolls sideways), no length limit of its own.
HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height);

// The script box over a real edit control, on the control's thread. Every
// change of the text is seen, whichever way it came: the control marks what
// the user does (typing, undo, the context menu, paste, an input method) with
// its modify flag, which the box takes back after each message, and texts
// set from outside come as WM_SETTEXT.
class EditScriptBox : public ScriptBox {
 public:
  explicit EditScriptBox(HWND edit);
  EditScriptBox(const EditScriptBox&) = delete;
  EditScriptBox& operator=(const EditScriptBox&) = delete;

  std::wstring text() override;
  void setText(const std::wstring& text) override;
  void append(const std::wstring& text) override;
  std::int32_t lineCount() override;
  void setSelectionStart(std::int32_t offset) override;
  std::uint64_t revision() override { return revision_; }
  // The listener runs inside the message that changed the text, once the
  // control is done with it.
  void setChangeListener(std::function<void()> listener) override { changeListener_ = std::move(listener); }

 private:
  static LRESULT CALLBACK watchChanges(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);

  HWND edit_;
  std::uint64_t revision_ = 0;
  std::function<void()> changeListener_;
  int depth_ = 0;  // of messages the control is handling
  bool changed_ = false;
  Subclass watch_;  // last: it calls into the members above
};
