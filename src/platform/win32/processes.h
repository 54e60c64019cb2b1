#pragma once

#include <string>
#include <utility>

#include "platform/processes.h"
#include "platform/win32/handles.h"

// Executable names come folded to upper case by the system (CharUpperBuffW),
// so that the single-instance comparison, which folds only ASCII letters
// itself, is as case-blind as Windows file names are. The claim is a named
// mutex in the session's own namespace (Local\), named after the folded
// executable name, held open as long as this object lives. The running copy
// is found by the window class of its main window, once that window is
// shown, and asked with a registered message, which that window lets through
// also from processes of a lower integrity level.
class Win32Processes : public Processes {
 public:
  Win32Processes() = default;
  Win32Processes(std::wstring mainWindowClass, std::wstring comeForwardMessage)
      : mainWindowClass_(std::move(mainWindowClass)), comeForwardMessage_(std::move(comeForwardMessage)) {}

  std::vector<RunningProcess> runningProcesses() override;
  std::uint32_t ownSession() override;
  std::wstring ownExecutableName() override;
  InstanceClaim claimInstance(const std::wstring& executableName) override;
  void bringRunningCopyForward() override;

 private:
  HWND shownMainWindowOfAnother() const;

  KernelHandle claim_;
  std::wstring mainWindowClass_;
  std::wstring comeForwardMessage_;
};
