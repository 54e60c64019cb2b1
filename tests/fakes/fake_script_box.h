#pragma once

#include <functional>
#include <string>

#include "platform/script_box.h"

// An in-memory script box that counts lines as the edit control does.
class FakeScriptBox : public ScriptBox {
 public:
  std::wstring text() override { return text_; }
  void setText(const std::wstring& text) override {
    text_ = text;
    selectionStart = 0;
    changed();
  }
  void append(const std::wstring& text) override {
    text_ += text;
    selectionStart = static_cast<std::int32_t>(text_.size());
    changed();
  }
  std::int32_t lineCount() override;
  void setSelectionStart(std::int32_t offset) override { selectionStart = offset; }
  std::uint64_t revision() override { return revision_; }
  void setChangeListener(std::function<void()> listener) override { listener_ = std::move(listener); }

  std::int32_t selectionStart = 0;

 private:
  void changed() {
    ++revision_;
    if (listener_) listener_();
  }

  std::wstring text_;
  std::uint64_t revision_ = 0;
  std::function<void()> listener_;
};
