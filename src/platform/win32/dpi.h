#pragma once

#include <windows.h>

// The DPI functions of Windows 10 and 8.1, looked up at run time so that the
// program still starts on Windows 7. Where a system lacks one, the answer is
// worked out from the system DPI, which is all that such a system scales by.

// Per-monitor aware (V2 from Windows 10 1703, V1 on 8.1), else system aware.
// The manifest asks for the same; this covers loaders that ignore it.
void enableDpiAwareness();

// LOGPIXELSX of the screen: the DPI that GetSystemMetrics and
// SystemParametersInfoW answer for in a DPI-aware process.
UINT systemDpi();

UINT dpiForWindow(HWND window);
int systemMetricForDpi(int index, UINT dpi);
bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi);

// What the functions above answer on a system without the newer functions.
// They scale the system DPI's values linearly: exact for icons, scroll bars
// and fonts, a pixel off at most for sums such as SM_CYCAPTION.
namespace dpi_fallback {
UINT dpiForWindow(HWND window);
int systemMetricForDpi(int index, UINT dpi);
bool nonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi);
}  // namespace dpi_fallback
