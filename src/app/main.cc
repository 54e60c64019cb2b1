#include <windows.h>

#include "app/main_window.h"
#include "app/run_state.h"
#include "platform/win32/dpi.h"
#include "platform/win32/input_hooks.h"
#include "platform/win32/processes.h"
#include "platform/win32/window_thread.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The manifest asks for this already; an older loader that ignores it still
  // gets physical pixels everywhere, which recorded coordinates rely on.
  enableDpiAwareness();

  RunState state;
  Win32WindowThread windowThread;
  Win32Processes processes;
  Win32InputHooks hooks(windowThread);
  MainWindow window(state, processes, hooks, windowThread);
  if (!window.create(instance, showCommand)) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
