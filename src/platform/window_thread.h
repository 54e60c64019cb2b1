#pragma once

#include <chrono>
#include <functional>

// Work handed to the window thread: the thread that owns the main window and
// runs the controls, the hot keys and the recorder. Abstract so that it can
// be mocked out for tests.
class WindowThread {
 public:
  virtual ~WindowThread() = default;
  // Any thread; never waits for the window thread. The task runs on the
  // window thread once the message at hand is done, after every task posted
  // before it. Tasks still waiting when the helper is destroyed never run.
  virtual void post(std::function<void()> task) = 0;
  // Window thread only. The task runs on the window thread once the delay has
  // passed on the tick clock: never before, later by the timer's resolution
  // or while the thread is busy. Tasks due at the same moment keep their
  // order; like posted ones, they never run once the helper is gone.
  virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};
