// What the hook callbacks cost in the logic, natively: the idle path that
// every key stroke and mouse move of the desktop takes, and a recorded event
// as the script grows. The baseline is one call through the same kind of
// interface that does nothing.

#include <benchmark/benchmark.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_script_box.h"
#include "input/hot_keys.h"
#include "input/recorder.h"

namespace {

class NullRuns : public Runs {
 public:
  void start() override {}
  void stop() override {}
  bool isTargetWindowInFront() override { return false; }
  bool isForegroundWindowAboveUs() override { return false; }
};

struct Wiring {
  CallLog log;
  RunState state;
  FakeControls controls{log};
  FakeScriptBox box;
  FakeClock clock;
  FakeCursor cursor;
  FakeSounds sounds{log};
  NullRuns runs;
  FakeSteadyClock steady;
  OwnPlacements placements{steady};
  FakeWindowThread windowThread;
  FakeInputHooks hooks;
  Recorder recorder{state, controls, box, cursor, placements, windowThread, clock, hooks};
  HotKeys hotKeys{state, controls, sounds, runs, recorder};
};

void BM_Baseline_VirtualCall(benchmark::State& state) {
  Wiring wiring;
  TickClock& clock = wiring.clock;
  for (auto _ : state) benchmark::DoNotOptimize(clock.tickMs());
}
BENCHMARK(BM_Baseline_VirtualCall);

void BM_IdleKeyEvent(benchmark::State& state) {
  Wiring wiring;
  for (auto _ : state) wiring.hotKeys.onKeyEvent(KeyEvent{0, 0x41, false});
}
BENCHMARK(BM_IdleKeyEvent);

void BM_IdleMouseMove(benchmark::State& state) {
  Wiring wiring;
  for (auto _ : state) wiring.recorder.onMouseEvent(MouseEvent{1, 100, 200, false});
}
BENCHMARK(BM_IdleMouseMove);

// One recorded key event with the script already holding range(0) lines.
void BM_RecordedKeyEvent(benchmark::State& state) {
  Wiring wiring;
  wiring.hotKeys.onKeyEvent(KeyEvent{2, 0x91, false});
  for (std::int64_t i = 0; i < state.range(0); ++i) wiring.hotKeys.onKeyEvent(KeyEvent{0, 0x41, false});
  for (auto _ : state) {
    wiring.steady.us += 1000;
    wiring.hotKeys.onKeyEvent(KeyEvent{2, 0x41, false, false, wiring.steady.windowsTick(), wiring.steady.us});
  }
}
BENCHMARK(BM_RecordedKeyEvent)->Arg(10)->Arg(10000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
