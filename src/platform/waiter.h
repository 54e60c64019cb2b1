#pragma once

#include <cstdint>
#include <memory>

// How a wait ended.
enum class WaitEnd { reached, interrupted, cancelled };

// The steady clock of a run and the waits between its actions, which a stop
// cuts short. Abstract so that they can be mocked out for tests.
class Waiter {
 public:
  virtual ~Waiter() = default;
  // Microseconds on a steady clock that no change of the system time moves.
  // Any thread.
  virtual std::int64_t nowUs() = 0;
  // The run's thread. Blocks it until nowUs() reaches dueUs, to within a
  // fraction of a millisecond; returns at once when that moment has passed.
  // Ends early, at once, when interrupt() or cancel() is called before or
  // during the wait. Meanwhile it takes whatever the system queues for the
  // calling thread.
  virtual WaitEnd waitUntil(std::int64_t dueUs) = 0;
  // From any thread: ends the wait in progress, or else the next one, as
  // interrupted. Interrupts that come before a wait count as one.
  virtual void interrupt() = 0;
  // From any thread: ends the wait in progress and every later one.
  virtual void cancel() = 0;
};

// Window thread, as a run begins.
class WaiterFactory {
 public:
  virtual ~WaiterFactory() = default;
  // One waiter for each run, so that stopping one run never cuts the pauses
  // of the next.
  virtual std::shared_ptr<Waiter> makeWaiter() = 0;
};
