#pragma once

#include <cstdint>
#include <memory>

// The pauses of a run: waits that a stop cuts short. Abstract so that they
// can be mocked out for tests.
class Waiter {
 public:
  virtual ~Waiter() = default;
  // Blocks the calling thread for ms milliseconds, to within about one
  // millisecond. Returns false, at once, when cancel() was called before or
  // during the wait.
  virtual bool sleepMs(std::int32_t ms) = 0;
  // From any thread: ends the wait in progress and every later one.
  virtual void cancel() = 0;
};

class WaiterFactory {
 public:
  virtual ~WaiterFactory() = default;
  // One waiter for each run, so that stopping one run never cuts the pauses
  // of the next.
  virtual std::shared_ptr<Waiter> makeWaiter() = 0;
};
