#pragma once

// The fixture of the end-to-end tests: tamsik.exe started for each test, its
// main window up.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/tamsik_window.h"
#include "support/wine_desktop.h"

class TamsikE2eTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tamsik.started()) << "cannot start " << testing::PrintToString(tamsikPath());
    ASSERT_NE(window, nullptr) << "no main window";
  }

  HWND control(int id) const { return tamsik.control(id); }
  // X keys, as xdotool's "key" names them.
  void key(const std::wstring& keys) { ASSERT_EQ(xdotool(L"key " + keys), 0); }

  TamsikWindow tamsik;
  const HWND window = tamsik.window();
};
