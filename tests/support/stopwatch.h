#pragma once

#include <windows.h>

// Milliseconds on the performance counter, for tests and benchmarks that time
// what they do.
inline double nowMs() {
  static const double countsPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / countsPerMs;
}
