#pragma once

#include <string>

#include "platform/script_box.h"

// An in-memory script box that counts lines as the edit control does.
class FakeScriptBox : public ScriptBox {
 public:
  std::wstring text() override { return text_; }
  void setText(const std::wstring& text) override {
    text_ = text;
    ++revision_;
  }
  void append(const std::wstring& text) override {
    text_ += text;
    ++revision_;
  }
  std::int32_t lineCount() override;
  std::wstring line(std::int32_t index) override;
  void setSelectionStart(std::int32_t offset) override { selectionStart = offset; }
  std::uint64_t revision() override { return revision_; }

  std::int32_t selectionStart = 0;

 private:
  std::wstring text_;
  std::uint64_t revision_ = 0;
};
