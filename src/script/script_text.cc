#include "script/script_text.h"

#include <limits>

namespace {

constexpr std::wstring_view kLineBreak = L"\r\n";

}  // namespace

std::int32_t boxLineCount(std::wstring_view text) {
  std::int32_t count = 1;
  for (std::size_t pos = text.find(kLineBreak); pos != std::wstring_view::npos; pos = text.find(kLineBreak, pos + 2)) {
    if (count == std::numeric_limits<std::int32_t>::max()) break;
    ++count;
  }
  return count;
}

std::wstring_view boxLine(std::wstring_view text, std::int32_t index) {
  if (index < 0) return {};
  std::size_t begin = 0;
  for (std::int32_t i = 0; i < index; ++i) {
    std::size_t pos = text.find(kLineBreak, begin);
    if (pos == std::wstring_view::npos) return {};
    begin = pos + 2;
  }
  std::size_t end = text.find(kLineBreak, begin);
  if (end == std::wstring_view::npos) end = text.size();
  return text.substr(begin, end - begin);
}
