#pragma once

#include <string>
#include <vector>

// The running processes, for the single-instance rule. Any thread.
class Processes {
 public:
  virtual ~Processes() = default;
  // Executable file names, without directory, one per running process.
  virtual std::vector<std::wstring> runningExecutableNames() = 0;
  virtual std::wstring ownExecutableName() = 0;
};
