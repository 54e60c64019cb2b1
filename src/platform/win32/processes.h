#pragma once

#include "platform/processes.h"

// Both functions return names folded to upper case by the system
// (CharUpperBuffW), so that the single-instance comparison, which folds only
// ASCII letters itself, is as case-blind as Windows file names are.
class Win32Processes : public Processes {
 public:
  std::vector<std::wstring> runningExecutableNames() override;
  std::wstring ownExecutableName() override;
};
