#include "platform/win32/gbk_codec.h"

#include <gtest/gtest.h>

#include "platform/coded_text.h"

#include <random>

namespace {

class GbkCodecTest : public testing::Test {
 protected:
  GbkCodec codec;
};

TEST_F(GbkCodecTest, DecodesAndEncodesKnownBytes) {
  expectCodedBothWays(codec, {
      {"", L""},
      {"10 0 65 0 0\r\n", L"10 0 65 0 0\r\n"},
      {"\xBD\xC5\xB1\xBE", L"脚本"},
      {"\xCB\xF9\xD3\xD0\xB4\xB0\xBF\xDA", L"所有窗口"},
      {"\xB9\xB2" "1\xCC\xF5\xBD\xC5\xB1\xBE", L"共1条脚本"},
      {"\xA1\xA1", L"\u3000"},
      // Bytes that begin no character come back as they were.
      {"\xFF", L"\uF7FF"},
      {"a\x81\nb", L"a\uF781\nb"},
      {"\xBD\xC5\xD1", L"脚\uF7D1"},
  });
}

TEST_F(GbkCodecTest, TextWithACharacterGbkLacksDoesNotEncode) {
  EXPECT_EQ(codec.encode(L"10 0 65 0 0\r\n\uAC00\r\n"), std::nullopt);  // a Hangul syllable
  EXPECT_EQ(codec.encode(L"\U0001F600"), std::nullopt);                   // outside the BMP
  EXPECT_EQ(codec.encode(L"\xD800"), std::nullopt);                       // a lone surrogate
  EXPECT_EQ(codec.encode(L"\uF7FF\uAC00\uF781"), std::nullopt) << "kept bytes do not hide a bad character";
  EXPECT_EQ(codec.encode(L"\u20AC\u3000"), "\x80\xA1\xA1") << "the euro sign is in code page 936";
}

TEST_F(GbkCodecTest, IgnoresTheSystemAnsiCodePage) {
  // Whatever GetACP() says, 脚本 is always the same four bytes.
  EXPECT_EQ(codec.encode(L"脚本"), "\xBD\xC5\xB1\xBE");
}

TEST_F(GbkCodecTest, EveryByteSequenceComesBackAsItWas) {
  std::string ascending;
  for (int byte = 1; byte <= 0xFF; ++byte) ascending += static_cast<char>(byte);
  std::string descending(ascending.rbegin(), ascending.rend());
  EXPECT_EQ(codec.encode(codec.decode(ascending)), ascending);
  EXPECT_EQ(codec.encode(codec.decode(descending)), descending);

  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 1; trail <= 0xFF; ++trail) {
      std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(codec.encode(codec.decode(pair)), pair) << std::hex << lead << " " << trail;
    }
  }

  std::mt19937 random(1234);
  std::string noise(1 << 20, '\0');
  for (char& byte : noise) byte = static_cast<char>(1 + random() % 0xFF);
  EXPECT_TRUE(codec.encode(codec.decode(noise)) == noise);
}

}  // namespace
