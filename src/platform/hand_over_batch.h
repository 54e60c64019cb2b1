#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

// When the events a producer has taken are handed over to their consumer in
// one wake: keys and buttons at once, and a stream of moves at most one batch
// after the first of them that waits, since each wake costs more than the
// moves themselves. A hand-over the consumer's queue refused is tried again a
// batch later. Times on the steady clock, in microseconds. One thread.
class HandOverBatch {
 public:
  explicit HandOverBatch(std::int64_t batchUs) : batchUs_(batchUs) {}

  void taken(bool move, std::int64_t atUs) {
    if (!pending_) {
      pending_ = true;
      urgent_ = false;
      pendingSinceUs_ = atUs;
    }
    urgent_ = urgent_ || !move;
  }

  // How much longer the events that wait may wait, 0 when they are due;
  // nothing when none waits.
  std::optional<std::int64_t> delayUs(std::int64_t nowUs) const {
    if (!pending_) return std::nullopt;
    if (urgent_) return 0;
    return std::max<std::int64_t>(0, batchUs_ - (nowUs - pendingSinceUs_));
  }
  bool due(std::int64_t nowUs) const { return delayUs(nowUs) == 0; }

  // The events that waited are on their way, or go with a hand-over already
  // on its way.
  void handedOver() { pending_ = false; }
  // The hand-over did not go: they wait for another batch.
  void refused(std::int64_t nowUs) {
    pending_ = true;
    urgent_ = false;
    pendingSinceUs_ = nowUs;
  }

 private:
  std::int64_t batchUs_;
  bool pending_ = false;
  bool urgent_ = false;  // more than moves wait
  std::int64_t pendingSinceUs_ = 0;
};
