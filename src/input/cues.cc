#include "input/cues.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr std::uint32_t kSampleRate = 22050;
constexpr std::uint32_t kHeaderBytes = 44;

void putU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

std::vector<std::uint8_t> wavHeader(std::uint16_t channels, std::uint16_t bits, std::uint32_t dataBytes) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderBytes + dataBytes);
  const std::uint32_t blockAlign = channels * bits / 8u;
  putTag(out, "RIFF");
  putU32(out, kHeaderBytes - 8 + dataBytes);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  putU32(out, 16);
  putU16(out, 1);  // PCM
  putU16(out, channels);
  putU32(out, kSampleRate);
  putU32(out, kSampleRate * blockAlign);
  putU16(out, blockAlign);
  putU16(out, bits);
  putTag(out, "data");
  putU32(out, dataBytes);
  return out;
}

// A sine sweep from one frequency to another with short fades at both ends,
// as amplitudes between -1 and 1.
double sweep(std::uint32_t i, std::uint32_t count, double fromHz, double toHz) {
  double t = static_cast<double>(i) / kSampleRate;
  double length = static_cast<double>(count) / kSampleRate;
  double phase = 2 * std::numbers::pi * (fromHz * t + (toHz - fromHz) * t * t / (2 * length));
  double fade = std::min({1.0, t / 0.01, (length - t) / 0.02});
  return 0.5 * std::max(fade, 0.0) * std::sin(phase);
}

std::vector<std::uint8_t> makeStartCue() {
  constexpr std::uint32_t kDataBytes = 55776 - kHeaderBytes;
  constexpr std::uint32_t kFrames = kDataBytes / 4;
  std::vector<std::uint8_t> out = wavHeader(2, 16, kDataBytes);
  for (std::uint32_t i = 0; i < kFrames; ++i) {
    auto sample = static_cast<std::int16_t>(std::lround(32767 * sweep(i, kFrames, 660, 990)));
    for (int channel = 0; channel < 2; ++channel) putU16(out, static_cast<std::uint16_t>(sample));
  }
  return out;
}

std::vector<std::uint8_t> makeStopCue() {
  constexpr std::uint32_t kDataBytes = 4719 - kHeaderBytes;
  std::vector<std::uint8_t> out = wavHeader(1, 8, kDataBytes);
  for (std::uint32_t i = 0; i < kDataBytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(128 + std::lround(127 * sweep(i, kDataBytes, 520, 440))));
  }
  return out;
}

}  // namespace

const std::vector<std::uint8_t>& startCue() {
  static const std::vector<std::uint8_t> cue = makeStartCue();
  return cue;
}

const std::vector<std::uint8_t>& stopCue() {
  static const std::vector<std::uint8_t> cue = makeStopCue();
  return cue;
}
