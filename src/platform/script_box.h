#pragma once

// The multi-line script box. Lines are counted the way a multi-line edit
// control without word wrap counts them: by CR LF, the text after the last
// CR LF being a line of its own, so the empty text is one line.

#include <cstdint>
#include <string>

class ScriptBox {
 public:
  virtual ~ScriptBox() = default;
  virtual std::wstring text() = 0;
  virtual void setText(const std::wstring& text) = 0;
  virtual std::int32_t lineCount() = 0;
  // Line i without its line break; empty when there is no line i.
  virtual std::wstring line(std::int32_t index) = 0;
  // Puts the caret at the given offset and scrolls it into view.
  virtual void setSelectionStart(std::int32_t offset) = 0;
};
