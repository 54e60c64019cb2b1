#include "script/script_text.h"

namespace {

constexpr std::wstring_view kLineBreak = L"\r\n";

}  // namespace

ScriptSnapshot::ScriptSnapshot(std::wstring text) : text_(std::move(text)), lineStarts_{0} {
  for (std::size_t pos = text_.find(kLineBreak); pos != std::wstring::npos; pos = text_.find(kLineBreak, pos + 2)) {
    lineStarts_.push_back(pos + 2);
  }
}

std::wstring_view ScriptSnapshot::line(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= lineStarts_.size()) return {};
  const auto i = static_cast<std::size_t>(index);
  const std::size_t begin = lineStarts_[i];
  const std::size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] - kLineBreak.size() : text_.size();
  return std::wstring_view(text_).substr(begin, end - begin);
}
