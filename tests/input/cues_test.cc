#include "input/cues.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t u16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string tag(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

struct Form {
  const std::vector<std::uint8_t>& wav;
  std::size_t size;
  std::uint16_t channels, bits;
};

TEST(CuesTest, AreCompletePcmWaveFilesOfTheirForms) {
  for (const Form& form : {Form{startCue(), 55776, 2, 16}, Form{stopCue(), 4719, 1, 8}}) {
    const auto& wav = form.wav;
    ASSERT_EQ(wav.size(), form.size);
    EXPECT_EQ(tag(wav, 0), "RIFF");
    EXPECT_EQ(u32(wav, 4), form.size - 8);
    EXPECT_EQ(tag(wav, 8), "WAVE");
    EXPECT_EQ(tag(wav, 12), "fmt ");
    EXPECT_EQ(u16(wav, 20), 1) << "PCM";
    EXPECT_EQ(u16(wav, 22), form.channels);
    EXPECT_EQ(u32(wav, 24), 22050u);
    EXPECT_EQ(u32(wav, 28), 22050u * form.channels * form.bits / 8);
    EXPECT_EQ(u16(wav, 32), form.channels * form.bits / 8);
    EXPECT_EQ(u16(wav, 34), form.bits);
    EXPECT_EQ(tag(wav, 36), "data");
    EXPECT_EQ(u32(wav, 40), form.size - 44);
  }
}

TEST(CuesTest, AreAudibleAndEndInSilence) {
  // 8-bit samples centre on 128, 16-bit ones on 0.
  const auto& stop = stopCue();
  int loudest = 0;
  for (std::size_t i = 44; i < stop.size(); ++i) loudest = std::max(loudest, std::abs(stop[i] - 128));
  EXPECT_GT(loudest, 30);
  EXPECT_LE(std::abs(stop.back() - 128), 2);

  const auto& start = startCue();
  auto last = static_cast<std::int16_t>(u16(start, start.size() - 2));
  EXPECT_LE(std::abs(last), 200);
}

}  // namespace
