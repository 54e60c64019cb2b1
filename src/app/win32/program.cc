#include "app/win32/program.h"

Program::Program(InputHooks& hooks, Processes& processes, WindowThread& windowThread)
    : hooks_(hooks), processes_(processes), windowThread_(windowThread) {}

Program::~Program() { window_.destroy(); }

Program::Started Program::start(HINSTANCE instance, int showCommand) {
  if (!window_.create(instance)) return Started::failed;
  fileDialogs_ = std::make_unique<Win32FileDialogs>(window_.hwnd());
  application_ = std::make_unique<Application>(Platform{
      {window_.controls(), window_.scriptBox(), window_.windowList(), window_.loopOption(), *fileDialogs_, windowThread_},
      {clock_, steadyClock_, waiters_, runThreads_, saveThreads_},
      {hooks_, injector_, cursor_, lastInput_, keyboard_},
      {files_, codec_},
      {windows_, processes_, sounds_, integrity_, inputDesktop_}});
  window_.attach(*application_);
  if (!application_->onWindowCreated()) return Started::secondCopy;
  window_.show(showCommand);
  return Started::shown;
}
