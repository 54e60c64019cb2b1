#include "platform/win32/lossless_gbk.h"

#include <gtest/gtest.h>

#include "platform/coded_text.h"

namespace {

// Code page 936 in small, converted strictly as the system does: a few
// characters, one pair of bytes that decodes to a character whose own bytes
// are others, and one character among the raw bytes' stand-ins.
struct Character {
  std::string_view bytes;
  wchar_t text;
  bool decodeOnly = false;
};
constexpr Character kCharacters[] = {
    {"\xBD\xC5", L'脚'},     {"\xB1\xBE", L'本'},           {"\x80", L'\u20AC'},
    {"\xA1\xAA", L'\u2015'}, {"\xA8\x44", L'\u2015', true}, {"\xFE\xFE", L'\uF7FE'},
};

class FakeStrictGbk : public StrictGbk {
 public:
  bool decode(std::string_view bytes, std::wstring& text) const override {
    for (const Character& c : kCharacters) {
      if (c.bytes == bytes) {
        text.assign(1, c.text);
        return true;
      }
    }
    return false;
  }
  bool encode(std::wstring_view text, std::string& bytes) const override {
    bytes.clear();
    for (wchar_t t : text) {
      if (t < 0x80) {
        bytes += static_cast<char>(t);
        continue;
      }
      const Character* found = nullptr;
      for (const Character& c : kCharacters) {
        if (c.text == t && !c.decodeOnly) found = &c;
      }
      if (!found) return false;
      bytes += found->bytes;
    }
    return true;
  }
};

class LosslessGbkTest : public testing::Test {
 protected:
  FakeStrictGbk strict;
  LosslessGbk codec{strict};
};

TEST_F(LosslessGbkTest, BytesThatAreNoCharacterOfTheirOwnStandForThemselves) {
  expectCodedBothWays(codec, {
      {"", L""},
      {"\xBD\xC5\xB1\xBE", L"脚本"},
      {"\x80\xA1\xAA", L"\u20AC\u2015"},
      {"\xFF", L"\uF7FF"},
      {"a\x81\nb", L"a\uF781\nb"},
      {"\xBD\xC5\xBD", L"脚\uF7BD"},
      {"\xA8\x44", L"\uF7A8D"},
      {"\xFE\xFE", L"\uF7FE\uF7FE"},
  });
  EXPECT_EQ(codec.encode(L"\uAC00"), std::nullopt) << "a character the code page lacks";
  EXPECT_EQ(codec.encode(L"\uF7FF\uAC00\uF781"), std::nullopt) << "kept bytes do not hide a bad character";
}

TEST_F(LosslessGbkTest, EveryPairOfBytesComesBackAsItWas) {
  for (int lead = 0; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(codec.encode(codec.decode(pair)), pair) << std::hex << lead << " " << trail;
    }
  }
}

}  // namespace
