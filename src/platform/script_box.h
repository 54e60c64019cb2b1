#pragma once

// The multi-line script box. Lines are counted the way a multi-line edit
// control without word wrap counts them: by CR LF, the text after the last
// CR LF being a line of its own, so the empty text is one line.
//
// Every method is for the window thread; other threads read the script from
// what the window thread publishes of it.

#include <cstdint>
#include <functional>
#include <string>

class ScriptBox {
 public:
  virtual ~ScriptBox() = default;
  virtual std::wstring text() = 0;
  // Replaces the text; the caret goes to its start.
  virtual void setText(const std::wstring& text) = 0;
  // Adds text at the end, without reading or rewriting what stands before,
  // and leaves the caret after it, in view.
  virtual void append(const std::wstring& text) = 0;
  virtual std::int32_t lineCount() = 0;
  // Puts the caret at the given offset and scrolls it into view.
  virtual void setSelectionStart(std::int32_t offset) = 0;
  // Grows with every change of the text, whoever made it: equal revisions
  // mean an unchanged text.
  virtual std::uint64_t revision() = 0;
  // Called after every change of the text, whoever made it, once the new
  // text can be read. One listener; a new one replaces the old.
  virtual void setChangeListener(std::function<void()> listener) = 0;
};
