#include "script/script_line.h"

#include <array>
#include <limits>

namespace {

void appendNumber(std::wstring& out, std::int32_t value) {
  // Unsigned, so that negating INT32_MIN is defined.
  std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) {
    out += L'-';
    magnitude = 0u - magnitude;
  }
  wchar_t digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) out += digits[--count];
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::size_t skipDigits(std::wstring_view text, std::size_t pos) {
  while (pos < text.size() && isDigit(text[pos])) ++pos;
  return pos;
}

// Digits of the exponent beyond this only make a number that is 0 or
// saturates anyway; stopping here keeps the arithmetic below in int64.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

std::optional<std::int32_t> readField(std::wstring_view field) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < field.size() && (field[pos] == L'+' || field[pos] == L'-')) {
    negative = field[pos] == L'-';
    ++pos;
  }
  const std::size_t intBegin = pos;
  const std::size_t intEnd = pos = skipDigits(field, pos);
  std::size_t fracBegin = pos;
  std::size_t fracEnd = pos;
  if (pos < field.size() && field[pos] == L'.') {
    fracBegin = pos + 1;
    fracEnd = pos = skipDigits(field, fracBegin);
  }
  const std::size_t intCount = intEnd - intBegin;
  const std::size_t digitCount = intCount + (fracEnd - fracBegin);
  if (digitCount == 0) return std::nullopt;

  std::int64_t exponent = 0;
  if (pos < field.size() && (field[pos] == L'e' || field[pos] == L'E')) {
    ++pos;
    bool exponentNegative = false;
    if (pos < field.size() && (field[pos] == L'+' || field[pos] == L'-')) {
      exponentNegative = field[pos] == L'-';
      ++pos;
    }
    const std::size_t exponentBegin = pos;
    for (; pos < field.size() && isDigit(field[pos]); ++pos) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (field[pos] - L'0');
    }
    if (pos == exponentBegin) return std::nullopt;
    if (exponentNegative) exponent = -exponent;
  }
  if (pos != field.size()) return std::nullopt;

  // The mantissa's digits as one string with the point after intCount of
  // them; the exponent moves the point.
  auto digitAt = [&](std::size_t k) -> std::uint32_t {
    if (k >= digitCount) return 0;
    return static_cast<std::uint32_t>(k < intCount ? field[intBegin + k] - L'0' : field[fracBegin + k - intCount] - L'0');
  };
  std::size_t first = 0;
  while (first < digitCount && digitAt(first) == 0) ++first;
  if (first == digitCount) return 0;
  const std::int64_t wholeDigits = static_cast<std::int64_t>(intCount) + exponent - static_cast<std::int64_t>(first);
  if (wholeDigits <= 0) return 0;

  constexpr std::uint64_t kMaxMagnitude = std::uint64_t{1} << 31;  // of INT32_MIN
  std::uint64_t magnitude = kMaxMagnitude + 1;
  if (wholeDigits <= 10) {
    magnitude = 0;
    for (std::int64_t k = 0; k < wholeDigits; ++k) magnitude = magnitude * 10 + digitAt(first + static_cast<std::size_t>(k));
  }
  if (negative) {
    if (magnitude >= kMaxMagnitude) return std::numeric_limits<std::int32_t>::min();
    return -static_cast<std::int32_t>(magnitude);
  }
  if (magnitude >= kMaxMagnitude) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(magnitude);
}

}  // namespace

std::wstring keyLine(std::int32_t time, std::int32_t transition, std::int32_t vk, std::optional<bool> extended) {
  std::wstring line;
  appendNumber(line, time);
  line += L' ';
  appendNumber(line, transition);
  line += L' ';
  appendNumber(line, vk);
  line += L" 0 0";
  if (extended) line += *extended ? L" 1" : L" 0";
  line += L"\r\n";
  return line;
}

std::wstring mouseLine(std::int32_t time, std::int32_t code, std::int32_t x, std::int32_t y,
                       std::optional<std::int32_t> data) {
  std::wstring line;
  appendNumber(line, time);
  line += L" 3 ";
  appendNumber(line, code);
  line += L' ';
  appendNumber(line, x);
  line += L' ';
  appendNumber(line, y);
  if (data) {
    line += L' ';
    appendNumber(line, *data);
  }
  line += L"\r\n";
  return line;
}

std::optional<ScriptLine> readScriptLine(std::wstring_view line) {
  std::array<std::int32_t, 5> values{};
  std::size_t start = 0;
  // The field from start to the next space; start moves past that space, or
  // past the end when the line ends there.
  auto nextField = [&] {
    std::size_t end = line.find(L' ', start);
    if (end == std::wstring_view::npos) end = line.size();
    std::wstring_view field = line.substr(start, end - start);
    start = end + 1;
    return field;
  };
  for (std::int32_t& value : values) {
    if (start > line.size()) return std::nullopt;  // fewer than five fields
    std::optional<std::int32_t> read = readField(nextField());
    if (!read) return std::nullopt;
    value = *read;
  }
  std::optional<std::int32_t> extra;
  if (start <= line.size()) extra = readField(nextField());
  return ScriptLine{values[0], values[1], values[2], values[3], values[4], extra};
}
