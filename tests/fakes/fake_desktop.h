#pragma once

#include <atomic>

#include "app/platform_parts.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"
#include "fakes/fake_script_files.h"
#include "fakes/fake_window_system.h"

// Every fake an Application works with: a made-up desktop. What the player
// injects is logged in `injected` at the moments of the run's clock and comes
// back through the hooks as the system sends it; the rest of the calls go to
// `log`.
struct FakeDesktop {
  Platform platform() { return platform(windowList, hooks); }
  // The same desktop for a second program with a window list and hooks of
  // its own.
  Platform platform(WindowListBox& list, InputHooks& ownHooks) {
    return {{controls, box, list, loop, dialogs, windowThread},
            {clock, steady, waiters, threads, saveThreads},
            {ownHooks, injector, cursor, lastInput, keyboard},
            {files, codec},
            {windows, processes, sounds, integrity, inputDesktop}};
  }

  CallLog log;
  CallLog injected;
  FakeControls controls{log};
  FakeScriptBox box;
  FakeWindowListBox windowList;
  std::atomic<bool> loop{false};
  FakeWindowSystem windows{log};
  FakeInputHooks hooks;
  FakeWaiterFactory waiters;
  FakeClock clock;
  FakeSteadyClock steady;
  UserInput input{steady};
  FakeCursor cursor;
  LoopbackInjector injector{injected, &waiters.nowUs, hooks, steady, cursor};
  FakeRunThreads threads;
  FakeRunThreads saveThreads;
  FakeWindowThread windowThread{&clock};
  FakeLastInput lastInput;
  FakeSounds sounds{log};
  FakeProcesses processes;
  FakeFileDialogs dialogs{log};
  FakeFileStore files{log};
  FakeTextCodec codec;
  FakeKeyboardActivity keyboard;
  FakeIntegrityLevels integrity;
  FakeInputDesktop inputDesktop;
};
