#include "fakes/fake_script_box.h"

std::vector<std::size_t> FakeScriptBox::lineStarts() const {
  std::vector<std::size_t> starts{0};
  for (std::size_t pos = text_.find(L"\r\n"); pos != std::wstring::npos; pos = text_.find(L"\r\n", pos + 2)) {
    starts.push_back(pos + 2);
  }
  return starts;
}

std::int32_t FakeScriptBox::lineCount() { return static_cast<std::int32_t>(lineStarts().size()); }

std::wstring FakeScriptBox::line(std::int32_t index) {
  auto starts = lineStarts();
  if (index < 0 || static_cast<std::size_t>(index) >= starts.size()) return {};
  std::size_t begin = starts[index];
  std::size_t end = text_.find(L"\r\n", begin);
  return text_.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
}
