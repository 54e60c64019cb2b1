#include "platform/win32/input_hooks.h"

#include <algorithm>

#include "input/hook_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/system.h"

namespace {

// The hook procedures get no context pointer.
std::atomic<Win32InputHooks*> gHooks{nullptr};

std::atomic<bool> gMeasuring{false};

struct Measured {
  std::atomic<std::uint64_t> calls{0};
  std::atomic<std::int64_t> totalCounts{0};
  std::atomic<std::int64_t> longestCounts{0};

  void clear() {
    calls.store(0);
    totalCounts.store(0);
    longestCounts.store(0);
  }
  Win32InputHooks::Times read() const { return {calls.load(), totalCounts.load(), longestCounts.load()}; }
};
Measured gOwn;
Measured gHandingOn;

std::int64_t counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Times a stretch of a procedure while a benchmark asks for it.
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

LRESULT handOn(int code, WPARAM wParam, LPARAM lParam) {
  ProcedureTimer timer(gHandingOn);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void Win32InputHooks::measureProcedures(bool on) {
  if (on) {
    gOwn.clear();
    gHandingOn.clear();
  }
  gMeasuring.store(on);
}

Win32InputHooks::ProcedureTimes Win32InputHooks::procedureTimes() { return {gOwn.read(), gHandingOn.read()}; }

Win32InputHooks::Win32InputHooks(WindowThread& windowThread) : windowThread_(windowThread) {}

Win32InputHooks::~Win32InputHooks() { remove(); }

LRESULT CALLBACK Win32InputHooks::keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  {
    ProcedureTimer timer(gOwn);
    Win32InputHooks* hooks = gHooks.load(std::memory_order_acquire);
    if (code == HC_ACTION && hooks) {
      // Stamped here, on the fine clock: the struct's time is on the tick
      // and is the injecting program's to choose.
      const std::int64_t atUs = steadyNowUs();
      const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
      hooks->queue(keyEventFromHook(info.vkCode, info.flags, info.dwExtraInfo, info.time, atUs));
    }
  }
  return handOn(code, wParam, lParam);
}

LRESULT CALLBACK Win32InputHooks::mouseProc(int code, WPARAM wParam, LPARAM lParam) {
  {
    ProcedureTimer timer(gOwn);
    Win32InputHooks* hooks = gHooks.load(std::memory_order_acquire);
    if (code == HC_ACTION && hooks) {
      const std::int64_t atUs = steadyNowUs();
      const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
      hooks->queue(mouseEventFromHook(static_cast<std::uint32_t>(wParam), info.pt.x, info.pt.y, info.mouseData,
                                      info.dwExtraInfo, info.time, atUs));
    }
  }
  return handOn(code, wParam, lParam);
}

void Win32InputHooks::queue(const Event& event) {
  const auto* mouse = std::get_if<MouseEvent>(&event);
  const InputDevice device = mouse ? InputDevice::mouse : InputDevice::keyboard;
  lastEventTicks_[static_cast<int>(device)].store(GetTickCount(), std::memory_order_relaxed);
  const bool urgent = !mouse || mouse->code != mouse_code::kMove;
  std::lock_guard lock(queue_->mutex);
  queue_->events.push_back(event);
  if (queue_->deliveryPosted) {
    deliveryUrgent_ = deliveryUrgent_ || urgent;
    return;
  }
  // A new batch: what joined a delivery already on its way does not hurry it.
  queue_->deliveryPosted = true;
  deliveryUrgent_ = urgent;
  wantedSinceUs_ = mouse ? mouse->atUs : std::get<KeyEvent>(event).atUs;
  deliveryWanted_.store(true, std::memory_order_relaxed);
}

void Win32InputHooks::deliver(WindowThread& windowThread, const std::shared_ptr<Queue>& queue) {
  std::vector<Event> events;
  {
    std::lock_guard lock(queue->mutex);
    events.swap(queue->events);
  }
  for (const Event& event : events) {
    InputListener* listener = nullptr;
    {
      std::lock_guard lock(queue->mutex);
      listener = queue->listener;  // an earlier event may have removed the hooks
    }
    if (!listener) break;
    if (const auto* key = std::get_if<KeyEvent>(&event)) {
      listener->onKey(*key);
    } else {
      listener->onMouse(std::get<MouseEvent>(event));
    }
  }
  // Events that came in meanwhile found this delivery on its way and asked
  // for none of their own: they get the next one, after the window thread's
  // other messages. The helper never runs two tasks inside each other, so
  // the order stays.
  {
    std::lock_guard lock(queue->mutex);
    if (queue->events.empty()) {
      queue->deliveryPosted = false;
      return;
    }
  }
  // Outside the lock, which a hook procedure may be waiting for.
  postDelivery(windowThread, queue);
}

void Win32InputHooks::postDelivery(WindowThread& windowThread, const std::shared_ptr<Queue>& queue) {
  windowThread.post([&windowThread, queue] { deliver(windowThread, queue); });
}

std::int64_t Win32InputHooks::deliveryDelayUs() const {
  // Moves alone wait for the batch to fill, or for the rest of its time.
  if (deliveryUrgent_) return 0;
  return std::max<std::int64_t>(0, kMoveBatchMs * 1000 - (steadyNowUs() - wantedSinceUs_));
}

void Win32InputHooks::runHookThread(HANDLE started, HANDLE stop) {
  // The thread only copies events, so it never holds the processor for
  // long; its priority keeps a busy machine from making the hooks miss the
  // system's timeout.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  // The queue first: Windows holds input for a hook until its thread takes
  // messages, but Wine passes input by a hook whose thread has no queue yet,
  // so the first key after an install went unheard.
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HINSTANCE module = GetModuleHandleW(nullptr);
  HookHandle keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0));
  HookHandle mouse(SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0));
  installed_.store(keyboard && mouse);
  SetEvent(started);
  if (!installed_.load()) return;
  for (;;) {
    DWORD timeout = INFINITE;
    if (deliveryWanted_.load(std::memory_order_relaxed)) timeout = static_cast<DWORD>((deliveryDelayUs() + 999) / 1000);
    // The system calls the hook procedures while this thread takes its
    // messages; the window thread is told only once they have returned, since
    // posting it a message is a round trip to the server under Wine.
    if (timeout != 0 &&
        MsgWaitForMultipleObjectsEx(1, &stop, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
      return;
    }
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (deliveryWanted_.load(std::memory_order_relaxed) && deliveryDelayUs() == 0) {
      deliveryUrgent_ = false;
      deliveryWanted_.store(false, std::memory_order_relaxed);
      postDelivery(windowThread_, queue_);
    }
  }
}

bool Win32InputHooks::install(InputListener& listener) {
  stopHookThread();
  {
    std::lock_guard lock(queue_->mutex);
    if (queue_->listener != &listener) queue_->events.clear();
    queue_->listener = &listener;
  }
  gHooks.store(this, std::memory_order_release);
  KernelHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!started || !stop_) {
    remove();
    return false;
  }
  thread_ = std::thread([this, started = started.get(), stop = stop_.get()] { runHookThread(started, stop); });
  WaitForSingleObject(started.get(), INFINITE);
  if (!installed_.load()) {
    remove();
    return false;
  }
  return true;
}

void Win32InputHooks::stopHookThread() {
  if (thread_.joinable()) {
    SetEvent(stop_.get());
    thread_.join();
  }
  stop_.reset();
  installed_.store(false);
  // What the stopped thread still wanted to hand over goes with the next.
  if (deliveryWanted_.exchange(false)) postDelivery(windowThread_, queue_);
}

void Win32InputHooks::remove() {
  stopHookThread();
  Win32InputHooks* self = this;
  gHooks.compare_exchange_strong(self, nullptr);
  std::lock_guard lock(queue_->mutex);
  queue_->listener = nullptr;
  queue_->events.clear();
  // A delivery on its way may never come (the window thread's helper gone);
  // the next event asks for one of its own.
  queue_->deliveryPosted = false;
}
