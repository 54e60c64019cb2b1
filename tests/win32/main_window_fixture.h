#pragma once

// The program's main window, shown on this thread with fake hooks and
// processes, for the tests of the window and of its tray icon.

#include <gtest/gtest.h>

#include "app/win32/program.h"
#include "fakes/fake_platform.h"
#include "platform/win32/window_thread.h"

class MainWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(program.start(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), Program::Started::shown);
  }
  RunState& state() { return program.application().state(); }
  HWND control(int id) { return window.control(id); }

  FakeProcesses processes;
  FakeInputHooks hooks;
  Win32WindowThread windowThread;
  Program program{hooks, processes, windowThread};
  MainWindow& window = program.window();
};
