#pragma once

#include <atomic>
#include <cstdint>

#include "fakes/fake_platform.h"
#include "input/hot_keys.h"

// Runs that log their start and stop and keep `playing` as the player would.
class FakeRuns : public Runs {
 public:
  FakeRuns(CallLog& log, std::atomic<std::int32_t>& playing) : log_(log), playing_(playing) {}
  void start() override {
    log_.push_back("run");
    playing_ = 1;
  }
  void stop() override {
    log_.push_back("stop");
    playing_ = 0;
  }
  bool isTargetWindowInFront() override { return targetInFront; }
  bool isForegroundWindowAboveUs() override { return foregroundAboveUs; }

  bool targetInFront = false;
  bool foregroundAboveUs = false;

 private:
  CallLog& log_;
  std::atomic<std::int32_t>& playing_;
};
