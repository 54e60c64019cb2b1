// What one event costs in the low-level hook procedures, on the real hook
// thread with real injected input: with the window thread idle and taking
// the events as they come, and with it busy for seconds while they pile up.
// The floor is one pair of performance-counter reads, which the timing adds.
// The hooks run with procedures of their own for this, made with a probe that
// times the procedures' own work apart from handing the event on along the
// hook chain.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/win32/input_hook_procedures.h"

namespace {

constexpr int kEvents = 2000;

std::atomic<bool> gMeasuring{false};

struct Times {
  std::uint64_t calls = 0;
  std::int64_t totalCounts = 0;
  std::int64_t longestCounts = 0;
};

struct Measured {
  std::atomic<std::uint64_t> calls{0};
  std::atomic<std::int64_t> totalCounts{0};
  std::atomic<std::int64_t> longestCounts{0};

  void clear() {
    calls.store(0);
    totalCounts.store(0);
    longestCounts.store(0);
  }
  Times read() const { return {calls.load(), totalCounts.load(), longestCounts.load()}; }
};
Measured gOwn;
Measured gHandingOn;

// On clears what was measured before.
void measureProcedures(bool on) {
  if (on) {
    gOwn.clear();
    gHandingOn.clear();
  }
  gMeasuring.store(on);
}

std::int64_t counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Times a stretch of a procedure while measuring is on.
class ProcedureTimer {
 public:
  explicit ProcedureTimer(Measured& into)
      : into_(into), start_(gMeasuring.load(std::memory_order_relaxed) ? counter() : 0) {}
  ~ProcedureTimer() {
    if (start_ == 0) return;
    const std::int64_t took = counter() - start_;
    into_.calls.fetch_add(1, std::memory_order_relaxed);
    into_.totalCounts.fetch_add(took, std::memory_order_relaxed);
    for (std::int64_t longest = into_.longestCounts.load(); took > longest;) {
      if (into_.longestCounts.compare_exchange_weak(longest, took)) break;
    }
  }
  ProcedureTimer(const ProcedureTimer&) = delete;
  ProcedureTimer& operator=(const ProcedureTimer&) = delete;

 private:
  Measured& into_;
  std::int64_t start_;
};

struct TimingProbe {
  struct OwnWork : ProcedureTimer {
    OwnWork() : ProcedureTimer(gOwn) {}
  };
  struct HandingOn : ProcedureTimer {
    HandingOn() : ProcedureTimer(gHandingOn) {}
  };
};

class CountingListener : public InputListener {
 public:
  void onKey(const KeyEvent& event) override {
    if (event.vk == VK_F24) ++keys;
  }
  void onMouse(const MouseEvent&) override {}
  int keys = 0;
};

double countsPerUs() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart) / 1e6;
}

void pumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// F24 pressed and released, kEvents events, one every half millisecond.
std::thread injectKeys() {
  return std::thread([] {
    for (int i = 0; i < kEvents; ++i) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = VK_F24;
      input.ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
      SendInput(1, &input, sizeof input);
      if (i % 2) Sleep(1);
    }
  });
}

void printTimes(const char* what, const Times& times) {
  const double perUs = countsPerUs();
  std::printf("    %-34s %6llu calls  mean %7.3f us  longest %8.3f us\n", what,
              static_cast<unsigned long long>(times.calls),
              times.calls ? static_cast<double>(times.totalCounts) / perUs / static_cast<double>(times.calls) : 0.0,
              static_cast<double>(times.longestCounts) / perUs);
}

void report(const char* state, int delivered) {
  std::printf("  %s: %d of %d events delivered to the window thread\n", state, delivered, kEvents);
  printTimes("the procedure's own work", gOwn.read());
  printTimes("handing on (CallNextHookEx)", gHandingOn.read());
}

}  // namespace

int main() {
  Win32InputHooks hooks(Win32InputHooks::kRingCapacity, Win32InputHooks::proceduresWith<TimingProbe>());
  CountingListener listener;
  if (!hooks.install(listener)) {
    std::fprintf(stderr, "the hooks could not be installed\n");
    return 1;
  }
  pumpFor(200);

  LARGE_INTEGER a, b;
  const double perUs = countsPerUs();
  QueryPerformanceCounter(&a);
  for (int i = 0; i < 100000; ++i) QueryPerformanceCounter(&b);
  std::printf("hook procedure cost per event, under the real hook thread (%d injected key events each)\n", kEvents);
  std::printf("  floor: one performance-counter read takes %.3f us, the timing adds two\n",
              static_cast<double>(b.QuadPart - a.QuadPart) / perUs / 100000);

  measureProcedures(true);
  std::thread idle = injectKeys();
  pumpFor(static_cast<DWORD>(kEvents) + 1000);
  idle.join();
  pumpFor(300);
  report("window thread idle, taking each event", listener.keys);

  listener.keys = 0;
  measureProcedures(true);
  std::thread busy = injectKeys();
  Sleep(static_cast<DWORD>(kEvents) + 1000);  // busy: no message is taken meanwhile
  busy.join();
  measureProcedures(false);
  pumpFor(500);
  report("window thread busy for 3 s, events piling up", listener.keys);
  std::printf("  target: the procedure's own work at most 5 us per event in both cases\n");
  hooks.remove();
  return 0;
}
