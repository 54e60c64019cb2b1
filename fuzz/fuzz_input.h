#pragma once

// Turns fuzz bytes into box text. The first byte picks how (its value % 3):
//   0  the rest as UTF-16LE code units, so any wchar value can appear, lone
//      surrogates included, as in the Win32 edit control's text;
//   1  one character per byte, 0..255: ASCII digits, spaces and CR LF are
//      likely, which random code units almost never give;
//   2  one character per byte from the script alphabet below, for dense
//      lines of numbers.
// The seed files begin with '1' (0x31), so that they read as plain text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline std::wstring fuzzText(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  if (size == 0) return text;
  const std::uint8_t mode = data[0] % 3;
  ++data;
  --size;
  if (mode == 0) {
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
      text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
  } else if (mode == 1) {
    text.assign(data, data + size);
  } else {
    constexpr std::wstring_view kAlphabet = L"0123456789 \r\n-+.eE";
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) text += kAlphabet[data[i] % kAlphabet.size()];
  }
  return text;
}
