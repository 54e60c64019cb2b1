#include "platform/win32/win32_waiter.h"

#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x2
#endif
#ifndef PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION
#define PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION 0x4
#endif

namespace {

// The timer wakes the thread this long before the end of the pause; the
// rest is spun out on the performance counter. Timers wake late: under Wine
// by up to about 1.2 ms (the server rounds every timeout up to a whole
// millisecond), on Windows by up to one tick of the 1 ms resolution that the
// fallback asks for. Spinning costs at most this much CPU time per pause,
// about 3% of one core for pauses of 1 to 50 ms. The spin does not yield:
// giving up the processor while other threads are ready can cost a whole
// scheduler quantum, several milliseconds.
constexpr std::int64_t kSpinMicroseconds = 1500;

std::int64_t performanceCounter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// a * b / c without overflow for the counts of weeks.
std::int64_t scale(std::int64_t a, std::int64_t b, std::int64_t c) { return a / c * b + a % c * b / c; }

}  // namespace

Win32Waiter::Win32Waiter() : cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  countsPerSecond_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;

  // High-resolution timers came with Windows 10 1803; older systems refuse
  // the flag and get the 1 ms system timer resolution for the run instead.
  timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
  highResolution_ = timer_ != nullptr;
  if (!timer_) {
    timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    raisedTimerResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  }
}

Win32Waiter::~Win32Waiter() {
  if (raisedTimerResolution_) timeEndPeriod(1);
}

void Win32Waiter::cancel() {
  cancelled_.store(true);
  if (cancelEvent_) SetEvent(cancelEvent_.get());
}

void Win32Waiter::interrupt() {
  interrupted_.store(true);
  if (interruptEvent_) SetEvent(interruptEvent_.get());
}

std::int64_t Win32Waiter::nowUs() { return scale(performanceCounter(), 1'000'000, countsPerSecond_); }

std::optional<WaitEnd> Win32Waiter::endedEarly() {
  if (cancelled_.load(std::memory_order_relaxed)) return WaitEnd::cancelled;
  if (interrupted_.load(std::memory_order_relaxed) && interrupted_.exchange(false)) return WaitEnd::interrupted;
  return std::nullopt;
}

void Win32Waiter::takeMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

WaitEnd Win32Waiter::waitUntil(std::int64_t dueUs) {
  takeMessages();
  if (std::optional<WaitEnd> end = endedEarly()) return *end;
  const std::int64_t deadline = scale(dueUs, countsPerSecond_, 1'000'000);
  const std::int64_t spin = scale(kSpinMicroseconds, countsPerSecond_, 1'000'000);
  // A loop, since a timer may also wake early, and the interrupt event may be
  // left over from an interrupt already counted.
  for (std::int64_t left = deadline - performanceCounter(); left > spin; left = deadline - performanceCounter()) {
    LARGE_INTEGER due;
    due.QuadPart = -scale(left - spin, 10'000'000, countsPerSecond_);  // 100 ns units; negative: relative
    DWORD result = WAIT_FAILED;
    if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
      HANDLE handles[] = {cancelEvent_.get(), interruptEvent_.get(), timer_.get()};
      result = MsgWaitForMultipleObjectsEx(3, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (result == WAIT_OBJECT_0 + 3) {
        takeMessages();
        continue;
      }
    }
    // Without a usable timer or event: coarse steps that still end early.
    if (result > WAIT_OBJECT_0 + 2) Sleep(1);
    if (std::optional<WaitEnd> end = endedEarly()) return *end;
  }
  while (performanceCounter() < deadline) {
    if (std::optional<WaitEnd> end = endedEarly()) return *end;
    YieldProcessor();
  }
  return endedEarly().value_or(WaitEnd::reached);
}

int optOutOfPowerThrottling(SetProcessInformationFunction setProcessInformation) {
  // Opting out of throttling keeps execution speed and timers as they are
  // when the window is minimised or in the background. Systems that do not
  // know the class fail the call; they do not throttle either. The
  // timer-resolution bit came with Windows 11: Windows 10 may refuse a call
  // that carries it, so it goes alone, after the one that matters most.
  int accepted = 0;
  for (ULONG bit : {ULONG{PROCESS_POWER_THROTTLING_EXECUTION_SPEED},
                    ULONG{PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION}}) {
    PROCESS_POWER_THROTTLING_STATE state{};
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = bit;
    state.StateMask = 0;
    if (setProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state)) ++accepted;
  }
  return accepted;
}

Win32WaiterFactory::Win32WaiterFactory() {
  // Windows 8 and later; looked up so that older systems still start.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC address = kernel != nullptr ? GetProcAddress(kernel, "SetProcessInformation") : nullptr;
  if (address == nullptr) return;
  optOutOfPowerThrottling(reinterpret_cast<SetProcessInformationFunction>(reinterpret_cast<void*>(address)));
}
