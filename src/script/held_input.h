#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/input.h"
#include "script/pressed.h"

// Passes a run's input on and remembers which keys and mouse buttons it has
// pressed and the system has not yet seen released, so that they can be let
// go of: at the end of the run, while the run pauses, or by the window thread
// when a run's thread is stuck at the close. A press that the system refused
// holds nothing; a release that it refused leaves the key held, to be sent
// again.
//
// The run's thread injects; releaseAll() may come from any thread. No lock
// is held while the system is called.
class HeldInput : public InputInjector {
 public:
  explicit HeldInput(InputInjector& inner) : inner_(inner) {}

  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override;
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override;
  void setCursorPos(std::int32_t x, std::int32_t y) override { inner_.setCursorPos(x, y); }
  void warmUp() override { inner_.warmUp(); }

  // Releases everything held, last pressed first: a key as it was pressed, a
  // button by its up flag (a side button with its number). What the system
  // refuses stays held.
  void releaseAll();
  // releaseAll(), and from now on whatever the run's thread presses is
  // released at once: the run outlived the close.
  void releaseForGood();
  // The run pauses: everything held is released, and remembered.
  void letGo();
  // The run goes on: releases that were refused are sent again, then what
  // letGo() released is pressed again, first pressed first.
  void takeBack();
  // Whether the system refused an event since it was last asked.
  bool takeRefusal();

 private:
  using Held = Pressed;
  bool send(const Held& held, bool press);
  std::vector<Held> releaseEach(std::vector<Held> items);

  InputInjector& inner_;
  std::mutex mutex_;
  std::vector<Held> held_;
  std::vector<Held> letGo_;
  bool refused_ = false;
  bool forGood_ = false;
};
