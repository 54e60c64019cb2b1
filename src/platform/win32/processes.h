#pragma once

#include "platform/processes.h"
#include "platform/win32/handles.h"

// Executable names come folded to upper case by the system (CharUpperBuffW),
// so that the single-instance comparison, which folds only ASCII letters
// itself, is as case-blind as Windows file names are. The claim is a named
// mutex in the session's own namespace (Local\), named after the folded
// executable name, held open as long as this object lives.
class Win32Processes : public Processes {
 public:
  std::vector<RunningProcess> runningProcesses() override;
  std::uint32_t ownSession() override;
  std::wstring ownExecutableName() override;
  InstanceClaim claimInstance(const std::wstring& executableName) override;

 private:
  KernelHandle claim_;
};
