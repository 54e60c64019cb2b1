#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/system.h"
#include "platform/window_thread.h"

// An update of the window that follows a stream of changes at a pace a
// person can see, whatever the stream's rate: at most once a period, and
// never more than a period after the request it answers. The first request
// after a quiet period is answered as soon as the window thread is done with
// the message at hand.
//
// Window thread only.
class PacedUpdate {
 public:
  static constexpr std::uint32_t kPeriodMs = 100;

  PacedUpdate(WindowThread& windowThread, TickClock& clock, std::function<void()> update);
  PacedUpdate(const PacedUpdate&) = delete;
  PacedUpdate& operator=(const PacedUpdate&) = delete;

  // Something changed that the update shows.
  void request();
  // The update at once, whether requested or not; a requested one still on
  // its way then finds nothing to do.
  void runNow();

 private:
  void run();

  WindowThread& windowThread_;
  TickClock& clock_;
  std::function<void()> update_;
  bool requested_ = false;
  bool scheduled_ = false;
  bool ranBefore_ = false;
  std::uint32_t lastRunMs_ = 0;
  // Gone with this object, so that an update on its way finds nothing.
  std::shared_ptr<PacedUpdate*> self_ = std::make_shared<PacedUpdate*>(this);
};
