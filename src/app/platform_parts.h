#pragma once

#include <atomic>

#include "platform/controls.h"
#include "platform/device_activity.h"
#include "platform/input.h"
#include "platform/processes.h"
#include "platform/run_threads.h"
#include "platform/script_box.h"
#include "platform/script_files.h"
#include "platform/system.h"
#include "platform/waiter.h"
#include "platform/window_system.h"
#include "platform/window_thread.h"

// What the program works with, in the groups that its parts take whole.

// The main window's controls as the window realises them, and its thread.
struct WindowParts {
  Controls& controls;
  ScriptBox& scriptBox;
  WindowListBox& windowList;
  const std::atomic<bool>& loopOption;  // 选择框2, "循环执行脚本", as its mirror has it
  FileDialogs& fileDialogs;
  WindowThread& windowThread;
};

// Clocks, waiting, and the threads of runs and of the retries of saves.
struct TimeParts {
  TickClock& clock;
  SteadyClock& steadyClock;
  WaiterFactory& waiters;
  RunThreads& runThreads;
  RunThreads& saveThreads;
};

// The hooks, the injection, and what tells of the input apart from them.
struct InputParts {
  InputHooks& hooks;
  InputInjector& injector;
  CursorPosition& cursor;
  LastInputClock& lastInput;
  KeyboardActivity& keyboard;
};

// Script files on disk.
struct FileParts {
  FileStore& store;
  TextCodec& codec;
};

// The rest of the system: its windows, desktops and processes, sound.
struct SystemParts {
  WindowSystem& windows;
  Processes& processes;
  Sounds& sounds;
  IntegrityLevels& integrity;
  InputDesktop& inputDesktop;
};

struct Platform {
  WindowParts window;
  TimeParts time;
  InputParts input;
  FileParts files;
  SystemParts system;
};
