#include "input/paced_update.h"

#include <chrono>

PacedUpdate::PacedUpdate(WindowThread& windowThread, TickClock& clock, std::function<void()> update)
    : windowThread_(windowThread), clock_(clock), update_(std::move(update)) {}

void PacedUpdate::request() {
  requested_ = true;
  if (scheduled_) return;
  scheduled_ = true;
  std::uint32_t sinceLast = clock_.tickMs() - lastRunMs_;
  std::uint32_t wait = ranBefore_ && sinceLast < kPeriodMs ? kPeriodMs - sinceLast : 0;
  auto task = [weak = std::weak_ptr<PacedUpdate*>(self_)] {
    if (std::shared_ptr<PacedUpdate*> self = weak.lock()) {
      (*self)->scheduled_ = false;
      if ((*self)->requested_) (*self)->run();
    }
  };
  if (wait == 0) {
    windowThread_.post(std::move(task));
  } else {
    windowThread_.postAfter(std::chrono::milliseconds(wait), std::move(task));
  }
}

void PacedUpdate::runNow() { run(); }

void PacedUpdate::run() {
  requested_ = false;
  ranBefore_ = true;
  lastRunMs_ = clock_.tickMs();
  update_();
}
