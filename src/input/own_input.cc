#include "input/own_input.h"

namespace {

std::uint64_t pack(std::int32_t x, std::int32_t y) {
  return (std::uint64_t{static_cast<std::uint32_t>(x)} << 32) | static_cast<std::uint32_t>(y);
}

}  // namespace

void OwnPlacements::notePlacement(std::int32_t x, std::int32_t y) {
  placedPoint_.store(pack(x, y));
  placedUs_.store(clock_.nowUs());
  pending_.store(true);
}

bool OwnPlacements::isOwn(const MouseEvent& event) {
  if (event.ownInput) return true;
  if (event.code != mouse_code::kMove || !pending_.load(std::memory_order_relaxed)) return false;
  if (placedPoint_.load() != pack(event.x, event.y)) return false;
  // By the moment the hook got the move: the window thread may come to it late.
  const std::int64_t since = event.atUs - placedUs_.load();
  if (since < -kRecentUs || since > kRecentUs) return false;
  pending_.store(false);
  return true;
}
