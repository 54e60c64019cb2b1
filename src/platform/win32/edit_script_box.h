#pragma once

#include <windows.h>

#include "platform/script_box.h"

// Creates the multi-line edit control that holds the script: no word wrap,
// scroll bars, no length limit of its own.
HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height);

// The script box over a real edit control. Every call goes through the
// window's messages, so it may be used from another thread than the owner's.
class EditScriptBox : public ScriptBox {
 public:
  explicit EditScriptBox(HWND edit) : edit_(edit) {}

  std::wstring text() override;
  void setText(const std::wstring& text) override;
  std::int32_t lineCount() override;
  std::wstring line(std::int32_t index) override;
  void setSelectionStart(std::int32_t offset) override;

 private:
  HWND edit_;
};
