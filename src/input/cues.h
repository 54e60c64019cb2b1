#pragma once

#include <cstdint>
#include <vector>

// The sounds that mark the start and the end of a recording: complete WAV
// file images, made once and kept for the life of the program.
// Start: PCM, 2 channels, 16 bits, 22,050 Hz, 55,776 bytes (a rising chirp).
// Stop: PCM, 1 channel, 8 bits, 22,050 Hz, 4,719 bytes (a short low beep).
const std::vector<std::uint8_t>& startCue();
const std::vector<std::uint8_t>& stopCue();
