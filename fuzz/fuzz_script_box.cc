// A whole box read the way the player reads it: the line count, then each
// line by its index and through readScriptLine.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "script/script_line.h"
#include "script/script_text.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ScriptSnapshot box(fuzzText(data, size));
  const std::wstring_view view(box.text());
  const std::int32_t count = box.lineCount();
  check(count >= 1);

  // The lines and their breaks put back together are the text.
  std::size_t offset = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::wstring_view line = box.line(i);
    check(line.find(L"\r\n") == std::wstring_view::npos);
    check(view.substr(offset, line.size()) == line);
    offset += line.size();
    if (i + 1 < count) {
      check(view.substr(offset, 2) == L"\r\n");
      offset += 2;
    }
    (void)readScriptLine(line);
  }
  check(offset == view.size());
  check(box.line(count).empty());
  check(box.line(-1).empty());
  return 0;
}
