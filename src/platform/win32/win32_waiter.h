#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "platform/waiter.h"
#include "platform/win32/handles.h"

// Pauses to within a fraction of a millisecond: a waitable timer, high
// resolution where the system has one, for most of the pause, and a short
// spin on the performance counter for the rest. A cancel or interrupt event
// ends the wait at once, even in the middle of an hours-long pause.
//
// Every wait also takes the messages of the calling thread's queue, those
// that came before it and those that come while it lasts. The run's thread
// has a queue (SendInput needs one) but no window and no loop of its own.
// Under Wine, what the display driver holds for a thread is dealt with only
// when the thread takes its messages: without that, every cursor placement
// left about 200 bytes behind for the rest of the run.
class Win32Waiter : public Waiter {
 public:
  Win32Waiter();
  ~Win32Waiter() override;
  Win32Waiter(const Win32Waiter&) = delete;
  Win32Waiter& operator=(const Win32Waiter&) = delete;

  std::int64_t nowUs() override;
  WaitEnd waitUntil(std::int64_t dueUs) override;
  void interrupt() override;
  void cancel() override;

  bool hasHighResolutionTimer() const { return highResolution_; }

 private:

  // How the wait ends before its moment, if it does.
  std::optional<WaitEnd> endedEarly();
  static void takeMessages();

  KernelHandle cancelEvent_;
  KernelHandle interruptEvent_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  KernelHandle timer_;
  bool highResolution_ = false;
  bool raisedTimerResolution_ = false;
  // Read in the spin, where asking the kernel about the event would cost more
  // than the spin itself.
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> interrupted_{false};
  std::int64_t countsPerSecond_ = 1;
};

using SetProcessInformationFunction = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
// Asks SetProcessInformation to spare the process each kind of power
// throttling, in a call of its own; how many calls it accepted.
int optOutOfPowerThrottling(SetProcessInformationFunction setProcessInformation);

// Also takes the process out of power throttling, so that pauses keep their
// accuracy while the main window is minimised.
class Win32WaiterFactory : public WaiterFactory {
 public:
  Win32WaiterFactory();
  std::shared_ptr<Waiter> makeWaiter() override { return std::make_shared<Win32Waiter>(); }
};
