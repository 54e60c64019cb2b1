#pragma once

// GBK made lossless over the system's strict conversions of code page 936,
// apart from the system, so that what the tables make of each answer is
// tested without it. No <windows.h>.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/script_files.h"

// Code page 936 as the system converts it, without replacement characters or
// best-fit look-alikes. Any thread.
class StrictGbk {
 public:
  virtual ~StrictGbk() = default;
  // False when some part of the bytes is no character.
  virtual bool decode(std::string_view bytes, std::wstring& text) const = 0;
  // False when a character has no bytes of its own.
  virtual bool encode(std::wstring_view text, std::string& bytes) const = 0;
};

// A byte that does not begin a character which encodes back to the same
// bytes decodes to the private-use character U+F700 + byte, and that
// character encodes back to the byte. So any file opened and saved again
// keeps its bytes. Code page 936 maps nothing to U+F700..U+F7FF, so no GBK
// character is mistaken for such a byte. A text with a character that GBK
// lacks does not encode at all.
class LosslessGbk : public TextCodec {
 public:
  static constexpr wchar_t kRawByteBase = 0xF700;

  explicit LosslessGbk(const StrictGbk& strict) : strict_(strict) {}

  static bool isRawByte(wchar_t c) { return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF; }

  std::wstring decode(std::string_view bytes) override {
    // Byte by byte from tables rather than one conversion of the whole: the
    // system's decoder would replace bad bytes and lose their places.
    buildTables();
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
      auto byte = static_cast<unsigned char>(bytes[i]);
      if (byte < 0x80) {
        text += static_cast<wchar_t>(byte);
        ++i;
        continue;
      }
      if (byte >= 0x81 && byte <= 0xFE && i + 1 < bytes.size()) {
        auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (wchar_t c = pairs_[(byte - 0x81) * 256u + trail]) {
          text += c;
          i += 2;
          continue;
        }
      }
      wchar_t single = singles_[byte - 0x80u];
      text += single ? single : static_cast<wchar_t>(kRawByteBase + byte);
      ++i;
    }
    return text;
  }

  std::optional<std::string> encode(std::wstring_view text) override {
    std::string bytes;
    std::string run;
    std::size_t start = 0;
    auto flushRun = [&](std::size_t end) {
      if (end <= start) return true;
      if (!strict_.encode(text.substr(start, end - start), run)) return false;
      bytes += run;
      return true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (!isRawByte(text[i])) continue;
      if (!flushRun(i)) return std::nullopt;
      bytes += static_cast<char>(text[i] - kRawByteBase);
      start = i + 1;
    }
    if (!flushRun(text.size())) return std::nullopt;
    return bytes;
  }

 private:
  // Characters by their bytes, 0 where the bytes are no character that
  // encodes back to them: one table for single bytes 0x80..0xFF, one for
  // lead byte 0x81..0xFE and trail byte 0x00..0xFF. Built on first need.
  void buildTables() {
    if (!singles_.empty()) return;
    singles_.assign(0x80, L'\0');
    pairs_.assign(0x7E * 256, L'\0');
    auto roundTrips = [this](std::string_view bytes, wchar_t& c) {
      std::wstring text;
      std::string back;
      if (!strict_.decode(bytes, text) || text.size() != 1) return false;
      if (!strict_.encode(text, back) || back != bytes || isRawByte(text[0])) return false;
      c = text[0];
      return true;
    };
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const char single[1] = {static_cast<char>(byte)};
      roundTrips(std::string_view(single, 1), singles_[static_cast<std::size_t>(byte - 0x80)]);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        roundTrips(std::string_view(pair, 2), pairs_[static_cast<std::size_t>((lead - 0x81) * 256 + trail)]);
      }
    }
  }

  const StrictGbk& strict_;
  std::vector<wchar_t> singles_;
  std::vector<wchar_t> pairs_;
};
