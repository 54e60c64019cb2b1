// What one event costs in the low-level hook procedures, on the real hook
// thread with real injected input: with the window thread idle and taking
// the events as they come, and with it busy for seconds while they pile up.
// The floor is one pair of performance-counter reads, which the timing adds.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/win32/input_hooks.h"

namespace {

constexpr int kEvents = 2000;

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

void printTimes(const char* what, const Win32InputHooks::Times& times) {
  const double perUs = countsPerUs();
  std::printf("    %-34s %6llu calls  mean %7.3f us  longest %8.3f us\n", what,
              static_cast<unsigned long long>(times.calls),
              times.calls ? static_cast<double>(times.totalCounts) / perUs / static_cast<double>(times.calls) : 0.0,
              static_cast<double>(times.longestCounts) / perUs);
}

void report(const char* state, int delivered) {
  const Win32InputHooks::ProcedureTimes times = Win32InputHooks::procedureTimes();
  std::printf("  %s: %d of %d events delivered to the window thread\n", state, delivered, kEvents);
  printTimes("the procedure's own work", times.own);
  printTimes("handing on (CallNextHookEx)", times.handingOn);
}

}  // namespace

int main() {
  Win32InputHooks hooks;
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

  Win32InputHooks::measureProcedures(true);
  std::thread idle = injectKeys();
  pumpFor(static_cast<DWORD>(kEvents) + 1000);
  idle.join();
  pumpFor(300);
  report("window thread idle, taking each event", listener.keys);

  listener.keys = 0;
  Win32InputHooks::measureProcedures(true);
  std::thread busy = injectKeys();
  Sleep(static_cast<DWORD>(kEvents) + 1000);  // busy: no message is taken meanwhile
  busy.join();
  Win32InputHooks::measureProcedures(false);
  pumpFor(500);
  report("window thread busy for 3 s, events piling up", listener.keys);
  std::printf("  target: the procedure's own work at most 5 us per event in both cases\n");
  hooks.remove();
  return 0;
}
