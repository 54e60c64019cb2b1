#include "platform/hand_over_batch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::int64_t kBatchUs = 15000;

enum class Step { move, key, handedOver, refused };

TEST(HandOverBatchTest, KeysGoAtOnceMovesABatchAfterTheFirstAndARefusalABatchLater) {
  struct Case {
    const char* name;
    std::vector<std::pair<Step, std::int64_t>> steps;  // what happens, and when
    std::int64_t nowUs;
    std::optional<std::int64_t> delayUs;
  };
  const Case cases[] = {
      {"nothing taken", {}, 0, std::nullopt},
      {"a key", {{Step::key, 1000}}, 1000, 0},
      {"a move", {{Step::move, 1000}}, 1000, kBatchUs},
      {"a move, nearly a batch later", {{Step::move, 1000}}, 15999, 1},
      {"a move, a batch later", {{Step::move, 1000}}, 16000, 0},
      {"later moves do not put the batch off", {{Step::move, 1000}, {Step::move, 12000}}, 16000, 0},
      {"a key behind moves", {{Step::move, 1000}, {Step::key, 2000}}, 2000, 0},
      {"handed over", {{Step::key, 1000}, {Step::handedOver, 1000}}, 1000, std::nullopt},
      {"a move after a hand-over starts a batch",
       {{Step::key, 1000}, {Step::handedOver, 1000}, {Step::move, 5000}}, 5000, kBatchUs},
      {"a refused key waits a batch", {{Step::key, 1000}, {Step::handedOver, 1000}, {Step::refused, 2000}}, 2000,
       kBatchUs},
      {"and is due then", {{Step::key, 1000}, {Step::handedOver, 1000}, {Step::refused, 2000}}, 17000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandOverBatch batch(kBatchUs);
    for (const auto& [step, atUs] : c.steps) {
      switch (step) {
        case Step::move:
        case Step::key:
          batch.taken(step == Step::move, atUs);
          break;
        case Step::handedOver:
          batch.handedOver();
          break;
        case Step::refused:
          batch.refused(atUs);
          break;
      }
    }
    EXPECT_EQ(batch.delayUs(c.nowUs), c.delayUs);
    EXPECT_EQ(batch.due(c.nowUs), c.delayUs == 0);
  }
}

}  // namespace
