#pragma once

// The script box's text with its lines, counted as the multi-line edit control
// counts them: only CR LF ends a line, the text after the last CR LF is a line
// of its own (also when empty), so the empty text is one line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An immutable copy of the text; any line is found at once.
class ScriptSnapshot {
 public:
  ScriptSnapshot() : lineStarts_{0} {}
  explicit ScriptSnapshot(std::wstring text);

  const std::wstring& text() const { return text_; }
  std::int32_t lineCount() const { return static_cast<std::int32_t>(lineStarts_.size()); }
  // Line index without its CR LF; empty for an index outside
  // 0..lineCount()-1.
  std::wstring_view line(std::int32_t index) const;

 private:
  std::wstring text_;
  std::vector<std::size_t> lineStarts_;
};
