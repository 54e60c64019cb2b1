// The fallbacks for Windows 7 and 8 against the functions of Windows 10,
// which Wine has as well.

#include "platform/win32/dpi.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kDpis[] = {96, 120, 144, 192};

TEST(DpiTest, FallbackMetricsAreTheSystemsAtEveryDpi) {
  for (UINT dpi : kDpis) {
    for (int index : {SM_CXICON, SM_CYICON, SM_CXSMICON, SM_CYSMICON, SM_CXVSCROLL, SM_CYHSCROLL}) {
      EXPECT_EQ(dpi_fallback::systemMetricForDpi(index, dpi), GetSystemMetricsForDpi(index, dpi))
          << "metric " << index << " at " << dpi << " DPI";
      EXPECT_EQ(systemMetricForDpi(index, dpi), GetSystemMetricsForDpi(index, dpi));
    }
  }
}

TEST(DpiTest, FallbackNonClientMetricsAreTheSystemsAtEveryDpi) {
  for (UINT dpi : kDpis) {
    NONCLIENTMETRICSW expected{};
    expected.cbSize = sizeof(expected);
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(expected), &expected, 0, dpi));
    NONCLIENTMETRICSW fallback{};
    ASSERT_TRUE(dpi_fallback::nonClientMetricsForDpi(fallback, dpi));
    NONCLIENTMETRICSW chosen{};
    ASSERT_TRUE(nonClientMetricsForDpi(chosen, dpi));
    for (const NONCLIENTMETRICSW* metrics : {&fallback, &chosen}) {
      SCOPED_TRACE(testing::Message() << dpi << " DPI" << (metrics == &chosen ? "" : ", fallback"));
      EXPECT_EQ(metrics->lfMessageFont.lfHeight, expected.lfMessageFont.lfHeight);
      EXPECT_STREQ(metrics->lfMessageFont.lfFaceName, expected.lfMessageFont.lfFaceName);
      EXPECT_EQ(metrics->lfStatusFont.lfHeight, expected.lfStatusFont.lfHeight);
      EXPECT_EQ(metrics->lfCaptionFont.lfHeight, expected.lfCaptionFont.lfHeight);
      EXPECT_EQ(metrics->iCaptionHeight, expected.iCaptionHeight);
      EXPECT_EQ(metrics->iScrollWidth, expected.iScrollWidth);
    }
  }
}

TEST(DpiTest, WindowDpiIsTheSystemsWithOrWithoutTheNewerFunctions) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(systemDpi(), GetDpiForSystem());
  EXPECT_EQ(dpiForWindow(window), GetDpiForWindow(window));
  EXPECT_EQ(dpi_fallback::dpiForWindow(window), GetDpiForWindow(window));
  DestroyWindow(window);
}

}  // namespace
