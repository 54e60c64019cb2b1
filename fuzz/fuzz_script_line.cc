// readScriptLine over arbitrary text: no crash, no undefined behaviour, and
// its answers agree with the writer and with std::from_chars.

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "script/script_line.h"

namespace {

// Where a field is a plain integer, from_chars gives the exact answer.
std::optional<std::int32_t> plainInteger(std::wstring_view field) {
  if (field.empty() || field.size() > 64) return std::nullopt;
  std::string narrow;
  for (wchar_t c : field) {
    if (c < 0 || c > 0x7f) return std::nullopt;
    narrow += static_cast<char>(c);
  }
  std::int32_t value = 0;
  const char* end = narrow.data() + narrow.size();
  auto [ptr, error] = std::from_chars(narrow.data(), end, value);
  if (ptr != end) return std::nullopt;
  if (error == std::errc::result_out_of_range) {
    return narrow[0] == '-' ? INT32_MIN : INT32_MAX;
  }
  if (error != std::errc{}) return std::nullopt;
  return value;
}

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = fuzzText(data, size);
  const std::optional<ScriptLine> line = readScriptLine(text);

  // The five fields and the optional sixth, split the way the reader splits.
  std::array<std::wstring_view, 6> fields;
  std::size_t count = 0;
  for (std::size_t start = 0; count < fields.size() && start <= text.size(); ++count) {
    std::size_t end = std::wstring_view(text).find(L' ', start);
    if (end == std::wstring_view::npos) end = text.size();
    fields[count] = std::wstring_view(text).substr(start, end - start);
    start = end + 1;
  }
  if (count < 5) check(!line);

  if (!line) {
    // An unusable field never holds only plain integers.
    if (count >= 5) {
      bool allPlain = true;
      for (std::size_t i = 0; i < 5; ++i) allPlain = allPlain && plainInteger(fields[i]);
      check(!allPlain);
    }
    return 0;
  }

  const std::int32_t values[] = {line->time, line->kind, line->code, line->x, line->y};
  for (std::size_t i = 0; i < 5; ++i) {
    if (std::optional<std::int32_t> expected = plainInteger(fields[i])) check(values[i] == *expected);
  }
  // A sixth field is there exactly when the text has one that reads; a plain
  // integer reads as itself.
  if (count < 6) check(!line->extra);
  if (count == 6) {
    if (std::optional<std::int32_t> expected = plainInteger(fields[5])) check(line->extra == expected);
    if (line->extra) check(!fields[5].empty());
  }

  // What the recorder would write for it reads back the same; a key line's
  // sixth field is a flag, 1 or 0.
  std::optional<bool> extended;
  if (line->extra) extended = *line->extra != 0;
  std::wstring written = line->kind == 3 ? mouseLine(line->time, line->code, line->x, line->y, line->extra)
                                         : keyLine(line->time, line->kind, line->code, extended);
  check(written.size() >= 2 && written.ends_with(L"\r\n"));
  written.resize(written.size() - 2);
  const std::optional<ScriptLine> reread = readScriptLine(written);
  check(reread.has_value());
  ScriptLine expected = *line;
  if (expected.kind != 3) {
    expected.x = expected.y = 0;
    if (extended) expected.extra = *extended ? 1 : 0;
  }
  check(*reread == expected);
  return 0;
}
