#include "app/program.h"

Program::Program(InputHooks& hooks, Processes& processes, WindowThread& windowThread)
    : hooks_(hooks), processes_(processes), windowThread_(windowThread) {}

Program::Started Program::start(HINSTANCE instance, int showCommand) {
  if (!window_.create(instance)) return Started::failed;
  fileDialogs_ = std::make_unique<Win32FileDialogs>(window_.hwnd());
  application_ = std::make_unique<Application>(
      Platform{window_, window_.scriptBox(), window_.windowList(), window_.loopOption(), windows_, hooks_, injector_,
               waiters_, runThreads_, windowThread_, clock_, steadyClock_, lastInput_, cursor_, sounds_, processes_,
               *fileDialogs_, files_, codec_, keyboard_, integrity_});
  window_.attach(*application_);
  if (!application_->onWindowCreated()) return Started::secondCopy;
  window_.show(showCommand);
  return Started::shown;
}
