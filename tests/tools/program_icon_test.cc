#include "program_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

struct Entry {
  int width, height, bitCount;
  std::size_t bytes, offset;
};

std::vector<Entry> directory(const Bytes& icon) {
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < le16(icon, 4); ++i) {
    const std::size_t at = 6 + 16 * i;
    entries.push_back({icon.at(at), icon.at(at + 1), static_cast<int>(le16(icon, at + 6)),
                       le32(icon, at + 8), le32(icon, at + 12)});
  }
  return entries;
}

std::size_t stride(int width, int bitCount) { return static_cast<std::size_t>((width * bitCount + 31) / 32 * 4); }

// Pixel access into one DIB of the icon; (x, y) counted from the top left.
struct Image {
  const Bytes& icon;
  Entry entry;

  std::size_t paletteAt() const { return entry.offset + 40; }
  std::size_t xorAt() const { return paletteAt() + (entry.bitCount == 8 ? 256 * 4 : 0); }
  std::size_t row(int y) const { return static_cast<std::size_t>(entry.height - 1 - y); }

  bool masked(int x, int y) const {
    const std::size_t andAt = xorAt() + stride(entry.width, entry.bitCount) * entry.height;
    const std::uint8_t bits = icon.at(andAt + row(y) * stride(entry.width, 1) + x / 8);
    return (bits & (0x80 >> (x % 8))) != 0;
  }
  // Blue, green, red, alpha; the 8-bit images report their palette colour and 255.
  std::array<int, 4> bgra(int x, int y) const {
    std::size_t at = xorAt() + row(y) * stride(entry.width, entry.bitCount);
    if (entry.bitCount == 8) {
      at = paletteAt() + 4 * icon.at(at + x);
      return {icon.at(at), icon.at(at + 1), icon.at(at + 2), 255};
    }
    at += 4 * static_cast<std::size_t>(x);
    return {icon.at(at), icon.at(at + 1), icon.at(at + 2), icon.at(at + 3)};
  }
};

TEST(ProgramIcon, GeneratorReproducesTheCommittedIcon) {
  std::ifstream in(TAMSIK_COMMITTED_ICON, std::ios::binary);
  ASSERT_TRUE(in) << "cannot read " << TAMSIK_COMMITTED_ICON;
  const Bytes committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  const Bytes generated = makeProgramIcon();
  EXPECT_EQ(generated.size(), 22486u);
  EXPECT_TRUE(generated == committed) << "run the regenerate_icon target and commit res/tamsik.ico";
}

TEST(ProgramIcon, DirectoryDescribesEveryImage) {
  const Bytes icon = makeProgramIcon();
  ASSERT_GE(icon.size(), 6u);
  EXPECT_EQ(le16(icon, 0), 0u);
  EXPECT_EQ(le16(icon, 2), 1u);
  const std::vector<Entry> entries = directory(icon);
  ASSERT_EQ(entries.size(), 6u);

  std::set<std::pair<int, int>> kinds;
  std::size_t next = 6 + 16 * entries.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    SCOPED_TRACE(testing::Message() << "image " << e.width << "x" << e.height << "x" << e.bitCount);
    kinds.insert({e.width, e.bitCount});
    const std::size_t at = 6 + 16 * i;
    EXPECT_EQ(icon[at + 2], 0) << "colour count";
    EXPECT_EQ(le16(icon, at + 4), 1u) << "planes";

    // Images follow the directory back to back and end with the file.
    EXPECT_EQ(e.offset, next);
    next = e.offset + e.bytes;
    ASSERT_LE(next, icon.size());

    EXPECT_EQ(le32(icon, e.offset), 40u);
    EXPECT_EQ(le32(icon, e.offset + 4), static_cast<std::uint32_t>(e.width));
    EXPECT_EQ(le32(icon, e.offset + 8), static_cast<std::uint32_t>(2 * e.height));
    EXPECT_EQ(le16(icon, e.offset + 12), 1u);
    EXPECT_EQ(le16(icon, e.offset + 14), static_cast<std::uint32_t>(e.bitCount));
    EXPECT_EQ(le32(icon, e.offset + 16), 0u) << "compression";
    const std::uint32_t colours = le32(icon, e.offset + 32);
    const std::size_t paletteEntries = e.bitCount == 8 ? (colours == 0 ? 256 : colours) : colours;
    EXPECT_EQ(paletteEntries, e.bitCount == 8 ? 256u : 0u);
    EXPECT_EQ(e.bytes, 40 + 4 * paletteEntries +
                           (stride(e.width, e.bitCount) + stride(e.width, 1)) * e.height);
  }
  EXPECT_EQ(next, icon.size());
  EXPECT_EQ(kinds, (std::set<std::pair<int, int>>{{48, 32}, {48, 8}, {32, 32}, {32, 8}, {16, 32}, {16, 8}}));
}

TEST(ProgramIcon, EveryImageShowsTheSamePictureWithAMatchingMask) {
  const Bytes icon = makeProgramIcon();
  const std::vector<Entry> entries = directory(icon);
  ASSERT_EQ(entries.size(), 6u);
  for (const Entry& e : entries) {
    SCOPED_TRACE(testing::Message() << "image " << e.width << "x" << e.bitCount);
    const Image image{icon, e};
    const int last = e.width - 1;

    for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
      EXPECT_TRUE(image.masked(x, y)) << "corner " << x << "," << y;
      EXPECT_EQ(image.bgra(x, y)[0] + image.bgra(x, y)[1] + image.bgra(x, y)[2], 0)
          << "a transparent pixel must be black to leave the screen unchanged";
    }
    const auto centre = image.bgra(e.width / 2, e.height / 2);
    EXPECT_FALSE(image.masked(e.width / 2, e.height / 2));
    EXPECT_GT(centre[2], 2 * centre[1]) << "the record dot is red";

    // The 8-bit image is transparent exactly where its 32-bit twin's alpha says.
    const auto twin = std::find_if(entries.begin(), entries.end(), [&](const Entry& t) {
      return t.width == e.width && t.bitCount == 32;
    });
    ASSERT_NE(twin, entries.end());
    const Image reference{icon, *twin};
    for (int y = 0; y < e.height; ++y)
      for (int x = 0; x < e.width; ++x)
        ASSERT_EQ(image.masked(x, y), reference.bgra(x, y)[3] < 128) << x << "," << y;
  }
}

}  // namespace
