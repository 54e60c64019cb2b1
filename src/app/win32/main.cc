#include <windows.h>

#include "app/control_ids.h"
#include "app/win32/program.h"
#include "platform/win32/dpi.h"
#include "platform/win32/input_hooks.h"
#include "platform/win32/processes.h"
#include "platform/win32/window_thread.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The manifest asks for this already; an older loader that ignores it still
  // gets physical pixels everywhere, which recorded coordinates rely on.
  enableDpiAwareness();

  Win32WindowThread windowThread;
  Win32Processes processes(kMainWindowClass, kComeForwardMessage);
  Win32InputHooks hooks;
  Program program(hooks, processes, windowThread);
  switch (program.start(instance, showCommand)) {
    case Program::Started::failed:
      return 1;
    case Program::Started::secondCopy:
      // Before anything was shown or started; the running copy has been
      // asked to come to the front.
      ExitProcess(0);
    case Program::Started::shown:
      break;
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(program.window().hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
