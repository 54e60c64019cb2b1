#pragma once

#include <string>
#include <vector>

#include "platform/script_box.h"

// An in-memory script box that counts lines as the edit control does.
class FakeScriptBox : public ScriptBox {
 public:
  std::wstring text() override { return text_; }
  void setText(const std::wstring& text) override { text_ = text; }
  std::int32_t lineCount() override;
  std::wstring line(std::int32_t index) override;
  void setSelectionStart(std::int32_t offset) override { selectionStart = offset; }

  std::int32_t selectionStart = 0;

 private:
  // Offsets at which each line starts.
  std::vector<std::size_t> lineStarts() const;

  std::wstring text_;
};
