#pragma once

#include <chrono>
#include <functional>

// The threads the player's runs play on. Window thread. Abstract so that it
// can be mocked out for tests.
class RunThreads {
 public:
  virtual ~RunThreads() = default;
  // Runs the body on a thread of its own and returns at once.
  virtual void start(std::function<void()> body) = 0;
  // Waits for every thread started to end, closing any message box that one
  // shows. False when one did not end in time; it is left to the end of the
  // process.
  virtual bool joinAll(std::chrono::milliseconds patience) = 0;
};
