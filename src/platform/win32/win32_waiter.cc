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

// Counter ticks to 100 ns units, without overflow for pauses of weeks.
std::int64_t toHundredNanoseconds(std::int64_t counts, std::int64_t perSecond) {
  return counts / perSecond * 10'000'000 + counts % perSecond * 10'000'000 / perSecond;
}

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

bool Win32Waiter::sleepMs(std::int32_t ms) {
  if (cancelled_.load()) return false;
  if (ms <= 0) return true;

  const std::int64_t deadline = performanceCounter() + std::int64_t{ms} * countsPerSecond_ / 1000;
  const std::int64_t spin = kSpinMicroseconds * countsPerSecond_ / 1'000'000;
  // A loop, since a timer may also wake early.
  for (std::int64_t left = deadline - performanceCounter(); left > spin; left = deadline - performanceCounter()) {
    LARGE_INTEGER due;
    due.QuadPart = -toHundredNanoseconds(left - spin, countsPerSecond_);  // negative: relative
    DWORD result = WAIT_FAILED;
    if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
      HANDLE handles[] = {cancelEvent_.get(), timer_.get()};
      result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }
    if (result == WAIT_OBJECT_0) return false;
    // Without a usable timer or event: coarse steps that still end on cancel.
    if (result != WAIT_OBJECT_0 + 1) Sleep(1);
    if (cancelled_.load()) return false;
  }
  while (performanceCounter() < deadline) {
    if (cancelled_.load(std::memory_order_relaxed)) return false;
    YieldProcessor();
  }
  return !cancelled_.load();
}

Win32WaiterFactory::Win32WaiterFactory() {
  // Windows 8 and later; looked up so that older systems still start.
  using SetProcessInformationFunction = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC address = kernel != nullptr ? GetProcAddress(kernel, "SetProcessInformation") : nullptr;
  if (address == nullptr) return;
  auto setProcessInformation = reinterpret_cast<SetProcessInformationFunction>(reinterpret_cast<void*>(address));

  // Opting out of throttling keeps timers and execution speed as they are when
  // the window is minimised or in the background. Systems that do not know
  // the class fail the call; they do not throttle either.
  PROCESS_POWER_THROTTLING_STATE state{};
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  state.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED | PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
  state.StateMask = 0;
  setProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}
