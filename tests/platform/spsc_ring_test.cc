#include "platform/spsc_ring.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<int> drain(SpscRing<int>& ring) {
  std::vector<int> out;
  for (int value = 0; ring.pop(value);) out.push_back(value);
  return out;
}

TEST(SpscRingTest, RefusesWhatDoesNotFitAndKeepsWhatItHas) {
  SpscRing<int> ring(4);
  // Around the end of the slots more than once.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.push(round * 10 + i));
    EXPECT_FALSE(ring.push(99)) << "full in round " << round;
    EXPECT_EQ(drain(ring), (std::vector<int>{round * 10, round * 10 + 1, round * 10 + 2, round * 10 + 3}));
  }
  int value = 0;
  EXPECT_FALSE(ring.pop(value));
}

// A producer faster than its consumer: every value arrives once and in
// order, or is refused and counted; none is torn or seen twice.
TEST(SpscRingTest, TwoThreadsPassEveryValueOnceOrCountItRefused) {
  constexpr int kValues = 200000;
  SpscRing<int> ring(64);
  int refused = 0;
  std::thread producer([&] {
    for (int i = 1; i <= kValues; ++i) {
      if (!ring.push(i)) ++refused;
    }
    while (!ring.push(-1)) std::this_thread::yield();
  });
  std::vector<int> received;
  for (int value = 0; value != -1;) {
    if (ring.pop(value) && value != -1) received.push_back(value);
  }
  producer.join();
  EXPECT_FALSE(received.empty());
  EXPECT_EQ(static_cast<int>(received.size()) + refused, kValues);
  for (std::size_t i = 1; i < received.size(); ++i) {
    ASSERT_LT(received[i - 1], received[i]) << "at " << i;
  }
}

}  // namespace
