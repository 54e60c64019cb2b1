#pragma once

#include <windows.h>

#include <memory>

#include "app/application.h"
#include "app/win32/main_window.h"
#include "platform/win32/device_activity.h"
#include "platform/win32/input_desktop.h"
#include "platform/win32/input_injector.h"
#include "platform/win32/run_threads.h"
#include "platform/win32/file_dialogs.h"
#include "platform/win32/file_store.h"
#include "platform/win32/gbk_codec.h"
#include "platform/win32/system.h"
#include "platform/win32/win32_waiter.h"
#include "platform/win32/window_system.h"

// tamsik.exe as start-up puts it together: the main window, the Win32
// realisations of the platform, and the Application over them. The hooks,
// the process list and the window thread's helper come from outside, so that
// a test can put fakes in their place. On the window thread.
class Program {
 public:
  enum class Started { shown, secondCopy, failed };

  Program(InputHooks& hooks, Processes& processes, WindowThread& windowThread);
  // The window goes first, while the Application it lets go of still lives.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the window, starts the Application and shows the window. A
  // second copy shows nothing and starts nothing.
  Started start(HINSTANCE instance, int showCommand);

  MainWindow& window() { return window_; }
  Application& application() { return *application_; }

 private:
  InputHooks& hooks_;
  Processes& processes_;
  WindowThread& windowThread_;
  Win32InputInjector injector_;
  Win32WaiterFactory waiters_;
  Win32RunThreads runThreads_;
  Win32RunThreads saveThreads_;
  Win32TickClock clock_;
  Win32SteadyClock steadyClock_;
  Win32LastInputClock lastInput_;
  Win32CursorPosition cursor_;
  Win32Sounds sounds_;
  Win32WindowSystem windows_;
  Win32FileStore files_;
  GbkCodec codec_;
  Win32KeyboardActivity keyboard_;
  Win32IntegrityLevels integrity_;
  Win32InputDesktop inputDesktop_;
  MainWindow window_;
  // Made once the window exists; the Application goes before the window.
  std::unique_ptr<Win32FileDialogs> fileDialogs_;
  std::unique_ptr<Application> application_;
};
