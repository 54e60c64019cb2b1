#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

#include "platform/input.h"
#include "platform/win32/handles.h"
#include "platform/window_thread.h"

// The low-level keyboard and mouse hooks, on a thread of their own that does
// nothing else, so that no work of the window thread ever holds up the input
// of the desktop. A hook procedure only copies the event into a queue and
// returns; once it has returned, the hook thread asks the window thread to
// hand the queued events to the listener, in the order they happened: at once
// for keys and buttons, and for a stream of moves at most every
// kMoveBatchMs, since each wake of the window thread costs more than the
// moves themselves (their stamps are taken in the hook all the same). One
// pair per process.
class Win32InputHooks : public InputHooks {
 public:
  static constexpr std::int64_t kMoveBatchMs = 15;

  explicit Win32InputHooks(WindowThread& windowThread);
  Win32InputHooks(const Win32InputHooks&) = delete;
  Win32InputHooks& operator=(const Win32InputHooks&) = delete;
  ~Win32InputHooks() override;

  bool install(InputListener& listener) override;
  void remove() override;
  std::uint32_t lastEventTick(InputDevice device) override {
    return lastEventTicks_[static_cast<int>(device)].load(std::memory_order_relaxed);
  }

  // For a benchmark: the time the two procedures take on the performance
  // counter while measuring is switched on, their own work apart from handing
  // the event on to the rest of the hook chain.
  struct Times {
    std::uint64_t calls = 0;
    std::int64_t totalCounts = 0;
    std::int64_t longestCounts = 0;
  };
  struct ProcedureTimes {
    Times own;
    Times handingOn;
  };
  // On clears what was measured before.
  static void measureProcedures(bool on);
  static ProcedureTimes procedureTimes();

 private:
  static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam);

  using Event = std::variant<KeyEvent, MouseEvent>;
  // What the hook thread and the window thread share; a delivery still on its
  // way when the hooks are removed finds it without a listener.
  struct Queue {
    std::mutex mutex;
    std::vector<Event> events;
    InputListener* listener = nullptr;
    bool deliveryPosted = false;
  };

  void queue(const Event& event);
  void runHookThread(HANDLE started, HANDLE stop);
  // Hook thread: how much longer the queued events may wait, in µs.
  std::int64_t deliveryDelayUs() const;
  void stopHookThread();
  static void deliver(WindowThread& windowThread, const std::shared_ptr<Queue>& queue);
  static void postDelivery(WindowThread& windowThread, const std::shared_ptr<Queue>& queue);

  WindowThread& windowThread_;
  std::shared_ptr<Queue> queue_ = std::make_shared<Queue>();
  std::thread thread_;
  KernelHandle stop_;
  std::atomic<bool> installed_{false};
  // Set by a hook procedure when the window thread is to be told.
  std::atomic<bool> deliveryWanted_{false};
  // Hook thread only: whether what waits is more than moves, and since when
  // the first of it waits (steady µs).
  bool deliveryUrgent_ = false;
  std::int64_t wantedSinceUs_ = 0;
  std::atomic<std::uint32_t> lastEventTicks_[2] = {0, 0};
};
