#include "program_icon.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

struct Rgba {
  std::uint8_t r, g, b, a;
};

// The picture lives on a 1024-unit square so that every size draws the same
// shapes. A circle is a rounded rectangle whose radius is half its side.
constexpr std::int64_t kDesign = 1024;

struct Shape {
  std::int64_t x0, y0, x1, y1, radius;
  Rgb colour;
};

constexpr Shape circle(std::int64_t cx, std::int64_t cy, std::int64_t r, Rgb colour) {
  return {cx - r, cy - r, cx + r, cy + r, r, colour};
}

// A keycap seen slightly from above (the skirt shows more at the bottom)
// with a red "recording" dot on its face. Painted back to front.
constexpr std::array<Shape, 6> kShapes = {{
    {48, 72, 976, 968, 208, {0x2B, 0x33, 0x40}},    // outline
    {104, 128, 920, 912, 160, {0x8C, 0x96, 0xA5}},  // skirt
    {176, 160, 848, 752, 112, {0xF2, 0xF4, 0xF7}},  // top face
    circle(512, 456, 232, {0xA8, 0x1F, 0x1A}),      // rim of the dot
    circle(512, 456, 196, {0xE5, 0x39, 0x35}),      // dot
    circle(446, 390, 58, {0xF6, 0x9A, 0x94}),       // highlight
}};

// Sample points are kept in integers, scaled by 2 * size * samplesPerSide
// against the design square, so the output is bit-identical on any compiler.
bool covers(const Shape& s, std::int64_t x, std::int64_t y, std::int64_t scale) {
  const std::int64_t r = s.radius * scale;
  const std::int64_t qx = std::clamp(x, s.x0 * scale + r, s.x1 * scale - r);
  const std::int64_t qy = std::clamp(y, s.y0 * scale + r, s.y1 * scale - r);
  const std::int64_t dx = x - qx, dy = y - qy;
  return dx * dx + dy * dy <= r * r;
}

// Top-down rows, straight (not premultiplied) alpha.
std::vector<Rgba> render(int size) {
  constexpr int kSamples = 8;  // per side of a pixel
  const std::int64_t scale = 2 * std::int64_t{size} * kSamples;
  std::vector<Rgba> pixels;
  pixels.reserve(static_cast<std::size_t>(size) * size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      int covered = 0, r = 0, g = 0, b = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        const std::int64_t y = (2 * (std::int64_t{py} * kSamples + sy) + 1) * kDesign;
        for (int sx = 0; sx < kSamples; ++sx) {
          const std::int64_t x = (2 * (std::int64_t{px} * kSamples + sx) + 1) * kDesign;
          const Shape* top = nullptr;
          for (const Shape& s : kShapes) {
            if (covers(s, x, y, scale)) top = &s;
          }
          if (top == nullptr) continue;
          ++covered;
          r += top->colour.r;
          g += top->colour.g;
          b += top->colour.b;
        }
      }
      constexpr int kAll = kSamples * kSamples;
      if (covered == 0) {
        pixels.push_back({0, 0, 0, 0});
        continue;
      }
      const auto mean = [covered](int sum) {
        return static_cast<std::uint8_t>((sum + covered / 2) / covered);
      };
      pixels.push_back({mean(r), mean(g), mean(b),
                        static_cast<std::uint8_t>((covered * 255 + kAll / 2) / kAll)});
    }
  }
  return pixels;
}

bool isTransparent(const Rgba& p) { return p.a < 128; }

// Index 0 is black, which the transparent pixels of the 8-bit images need:
// black XOR over a set AND bit leaves the screen untouched.
std::array<Rgb, 256> makePalette() {
  std::array<Rgb, 256> palette{};
  std::size_t i = 0;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette[i++] = {static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                        static_cast<std::uint8_t>(b * 51)};
  // The cube alone turns the fills muddy and the grey keycap blotchy.
  for (const Shape& s : kShapes) palette[i++] = s.colour;
  const std::size_t greys = palette.size() - i;
  for (std::size_t k = 1; i < palette.size(); ++k) {
    const auto v = static_cast<std::uint8_t>(k * 255 / (greys + 1));
    palette[i++] = {v, v, v};
  }
  return palette;
}

std::uint8_t nearestIndex(const std::array<Rgb, 256>& palette, const Rgba& p) {
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const int dr = palette[i].r - p.r, dg = palette[i].g - p.g, db = palette[i].b - p.b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}

void put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::size_t rowBytes(int size, int bitCount) {
  return static_cast<std::size_t>((size * bitCount + 31) / 32 * 4);
}

void putInfoHeader(std::vector<std::uint8_t>& out, int size, int bitCount, std::size_t pixelBytes) {
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(size));
  put32(out, static_cast<std::uint32_t>(2 * size));  // XOR bitmap and AND mask together
  put16(out, 1);
  put16(out, static_cast<unsigned>(bitCount));
  put32(out, 0);  // BI_RGB
  put32(out, static_cast<std::uint32_t>(pixelBytes));
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);  // all 2^bitCount palette entries
  put32(out, 0);
}

void putAndMask(std::vector<std::uint8_t>& out, const std::vector<Rgba>& pixels, int size) {
  const std::size_t stride = rowBytes(size, 1);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < size; ++x) {
      if (isTransparent(pixels[static_cast<std::size_t>(y * size + x)]))
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

std::vector<std::uint8_t> makeDib(const std::vector<Rgba>& pixels, int size, int bitCount) {
  std::vector<std::uint8_t> out;
  const std::size_t xorStride = rowBytes(size, bitCount);
  putInfoHeader(out, size, bitCount, (xorStride + rowBytes(size, 1)) * static_cast<std::size_t>(size));
  if (bitCount == 32) {
    for (int y = size - 1; y >= 0; --y) {
      for (int x = 0; x < size; ++x) {
        const Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
        out.insert(out.end(), {p.b, p.g, p.r, p.a});
      }
    }
  } else {
    static const std::array<Rgb, 256> palette = makePalette();
    for (const Rgb& c : palette) out.insert(out.end(), {c.b, c.g, c.r, std::uint8_t{0}});
    for (int y = size - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(xorStride, 0);
      for (int x = 0; x < size; ++x) {
        const Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
        row[static_cast<std::size_t>(x)] = isTransparent(p) ? 0 : nearestIndex(palette, p);
      }
      out.insert(out.end(), row.begin(), row.end());
    }
  }
  putAndMask(out, pixels, size);
  return out;
}

}  // namespace

std::vector<std::uint8_t> makeProgramIcon() {
  struct Image {
    int size, bitCount;
    std::vector<std::uint8_t> dib;
  };
  std::vector<Image> images;
  for (int size : {48, 32, 16}) {
    const std::vector<Rgba> pixels = render(size);
    for (int bitCount : {32, 8}) images.push_back({size, bitCount, makeDib(pixels, size, bitCount)});
  }

  std::vector<std::uint8_t> out;
  put16(out, 0);
  put16(out, 1);  // icon, not cursor
  put16(out, static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (const Image& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.size));
    out.push_back(static_cast<std::uint8_t>(image.size));
    out.push_back(0);  // colour count: 0 when there are 256 or more
    out.push_back(0);
    put16(out, 1);
    put16(out, static_cast<unsigned>(image.bitCount));
    put32(out, static_cast<std::uint32_t>(image.dib.size()));
    put32(out, static_cast<std::uint32_t>(offset));
    offset += image.dib.size();
  }
  for (const Image& image : images) out.insert(out.end(), image.dib.begin(), image.dib.end());
  return out;
}
