#include <functional>

#include "fakes/fake_platform.h"
#include "platform/input_contract.h"

namespace {

struct LoopbackFactory {
  InputHooks& hooks() { return fakeHooks; }
  InputInjector& injector() { return loopback; }
  void settle(const std::function<bool()>&) {}

  CallLog log;
  std::int64_t nowUs = 0;
  FakeInputHooks fakeHooks;
  FakeSteadyClock clock;
  FakeCursor cursor;
  LoopbackInjector loopback{log, &nowUs, fakeHooks, clock, cursor};
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, InputContract, LoopbackFactory);
