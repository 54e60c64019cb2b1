#pragma once

// Tamsik's program icon, drawn by code so that no artwork has to be kept.

#include <cstdint>
#include <vector>

// A complete .ico file: 48, 32 and 16 pixels square, each as a 32-bit image
// with alpha and as an 8-bit palette image, uncompressed DIBs.
std::vector<std::uint8_t> makeProgramIcon();
