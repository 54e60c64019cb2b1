#pragma once

#include <atomic>
#include <cstdint>

#include "platform/input.h"
#include "platform/system.h"

// Tells Tamsik's own cursor placements apart from the user's moves. Injected
// events carry our marker, but a placement reaches the mouse hook as a plain
// move to the placed point, so the player notes each point it places the
// cursor at and the hook side recognises the move that follows.
class OwnPlacements {
 public:
  explicit OwnPlacements(SteadyClock& clock) : clock_(clock) {}

  // Player thread: the cursor is about to be placed at (x, y).
  void notePlacement(std::int32_t x, std::int32_t y);
  // Window thread: the event is Tamsik's own input. A placement is recognised
  // once, and only by a move that reached the hook shortly after it was made.
  bool isOwn(const MouseEvent& event);

 private:
  static constexpr std::int64_t kRecentUs = 250'000;

  SteadyClock& clock_;
  std::atomic<std::uint64_t> placedPoint_{0};
  std::atomic<std::int64_t> placedUs_{0};
  std::atomic<bool> pending_{false};
};

// The player's input: passes everything on and notes cursor placements.
class PlacementNotingInjector : public InputInjector {
 public:
  PlacementNotingInjector(InputInjector& inner, OwnPlacements& placements) : inner_(inner), placements_(placements) {}

  bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) override {
    return inner_.injectKeyEvent(vk, transition, extended);
  }
  bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) override {
    return inner_.injectMouseEvent(flags, dx, dy, data);
  }
  void setCursorPos(std::int32_t x, std::int32_t y) override {
    placements_.notePlacement(x, y);
    inner_.setCursorPos(x, y);
  }
  void warmUp() override { inner_.warmUp(); }

 private:
  InputInjector& inner_;
  OwnPlacements& placements_;
};
