#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RunningProcess {
  std::wstring name;  // executable file name, without directory
  // The session the process runs in; none when the system would not say,
  // as for another user's processes.
  std::optional<std::uint32_t> session;
};

// Whether this process now holds its program's claim in its session.
enum class InstanceClaim {
  claimed,        // the claim was free: ours until the process ends
  heldByAnother,  // another process of the session holds it
  unavailable,    // the system gave no answer either way
};

// The running processes, for the single-instance rule. Any thread.
class Processes {
 public:
  virtual ~Processes() = default;
  // One per running process of the whole machine.
  virtual std::vector<RunningProcess> runningProcesses() = 0;
  virtual std::uint32_t ownSession() = 0;
  virtual std::wstring ownExecutableName() = 0;
  // Claims the program of that executable name for this process within its
  // session. Asked once; the claim lasts as long as the process.
  virtual InstanceClaim claimInstance(const std::wstring& executableName) = 0;
  // Asks the copy that runs already in this session to bring its window to
  // the front, restored if it is minimised. Waits a few seconds at most for
  // a copy that has not shown its window yet.
  virtual void bringRunningCopyForward() = 0;
};
