#pragma once

#include <windows.h>

#include <atomic>

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
  void append(const std::wstring& text) override;
  void setSelectionStart(std::int32_t offset) override;
  std::uint64_t revision() override { return revision_.load(); }

  // The owner forwards the control's EN_CHANGE here, so that the user's own
  // edits count as changes too.
  void noteChanged() { ++revision_; }

 private:
  HWND edit_;
  std::atomic<std::uint64_t> revision_{0};
};
