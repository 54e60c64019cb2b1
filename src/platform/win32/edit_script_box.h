#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/script_box.h"

// Creates the multi-line edit control that holds the script: no word wrap,
// scroll bars, no length limit of its own.
HWND createScriptEdit(HWND parent, int id, int x, int y, int width, int height);

// The script box over a real edit control; usable from any thread, since
// every read goes through the window's messages. Lines are read from a copy
// of the text made at the box's current revision: an edit control finds line
// i by walking its lines from the first (Wine's does), which a player at the
// end of a long script would pay for every line.
class EditScriptBox : public ScriptBox {
 public:
  // Watches the control's messages for changes; call on its owner thread.
  explicit EditScriptBox(HWND edit);
  ~EditScriptBox() override;
  EditScriptBox(const EditScriptBox&) = delete;
  EditScriptBox& operator=(const EditScriptBox&) = delete;

  std::wstring text() override;
  void setText(const std::wstring& text) override;
  void append(const std::wstring& text) override;
  std::int32_t lineCount() override;
  std::wstring line(std::int32_t index) override;
  void setSelectionStart(std::int32_t offset) override;
  std::uint64_t revision() override { return revision_.load(); }
  // The listener runs on the control's thread, inside the message that
  // changed the text.
  void setChangeListener(std::function<void()> listener) override { changeListener_ = std::move(listener); }

 private:
  static LRESULT CALLBACK watchChanges(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);
  void noteChanged() {
    ++revision_;
    if (changeListener_) changeListener_();
  }
  std::wstring readText();
  // Brings the copy up to the current revision; call with mutex_ held.
  void refreshCopy();

  HWND edit_;
  std::atomic<std::uint64_t> revision_{0};
  std::function<void()> changeListener_;

  std::mutex mutex_;
  std::uint64_t copyRevision_ = UINT64_MAX;
  std::wstring copy_;
  std::vector<std::size_t> lineStarts_;
};
