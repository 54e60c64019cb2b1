#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <variant>

#include "platform/hand_over_batch.h"
#include "platform/input.h"
#include "platform/spsc_ring.h"
#include "platform/win32/handles.h"
#include "platform/win32/message_window.h"

// The low-level keyboard and mouse hooks, on a thread of their own that does
// nothing else and never waits for another thread of the program, so that no
// work of the window thread ever holds up the input of the desktop.
//
// A hook procedure only copies the event into a ring made with the object (no
// lock, no allocation) and returns. Once it has returned, the hook thread
// tells the window thread with one posted message, unless one is on its way
// already: at once for keys and buttons, and for a stream of moves at most
// every kMoveBatchMs, since each wake of the window thread costs more than the
// moves themselves (their stamps are taken in the hook all the same). The
// window thread lowers the "posted" flag before it empties the ring, so an
// event that comes after its last look always gets a message of its own.
//
// A full ring (the window thread has taken no events for seconds) refuses the
// event: the system still gets it, the listener does not, and it is counted.
// Moves give way first: they stop a quarter of the ring before its end, so
// that a stream of moves never costs a key or a button, whose release would
// otherwise be missing from a recording.
//
// Installing again puts the new pair in before the old one comes out, so that
// no event falls between them and none is heard twice. The old pair stays in
// for kOverlapMs: an event that another program's hook between the two pairs
// held when the new pair went in reaches only the old one, when that hook
// hands it on. Made on the window thread, whose messages carry the hand-over.
//
// One object hooks at a time in a process: the procedures, which get no
// context pointer, find it through one process-wide pointer that its hook
// thread sets as it hooks and clears as it unhooks. (A thread_local would
// cost a lock on every event of the desktop under MinGW's emulated TLS.)
class Win32InputHooks : public InputHooks, private MessageTarget {
 public:
  static constexpr std::int64_t kMoveBatchMs = 15;
  static constexpr std::int64_t kOverlapMs = 250;
  // Events the window thread may fall behind by: a few seconds of a fast mouse.
  static constexpr std::size_t kRingCapacity = 8192;

  explicit Win32InputHooks(std::size_t ringCapacity = kRingCapacity);
  Win32InputHooks(const Win32InputHooks&) = delete;
  Win32InputHooks& operator=(const Win32InputHooks&) = delete;
  ~Win32InputHooks() override;

  bool install(InputListener& listener) override;
  void remove() override;
  std::uint32_t lastEventTick(InputDevice device) override {
    return lastEventTicks_[static_cast<int>(device)].load(std::memory_order_relaxed);
  }

  struct Lost {
    std::uint64_t moves = 0;
    std::uint64_t keysAndButtons = 0;
  };
  // Any thread: the events the full ring refused since the object was made.
  Lost lostByKind() const {
    return {lostMoves_.load(std::memory_order_relaxed), lostOthers_.load(std::memory_order_relaxed)};
  }
  std::uint64_t lostEvents() override {
    const Lost lost = lostByKind();
    return lost.moves + lost.keysAndButtons;
  }
  // Window thread: the hand-over messages it has taken so far.
  std::uint64_t handOvers() const { return handOvers_; }

  // The hook procedures, with a probe's scopes around their own work (all but
  // the hand-on) and around handing the event on along the hook chain. The
  // program's probe is NoProbe; a benchmark's times them
  // (input_hook_procedures.h).
  struct NoProbe {
    struct OwnWork {};
    struct HandingOn {};
  };
  struct Procedures {
    HOOKPROC keyboard;
    HOOKPROC mouse;
  };
  template <typename Probe>
  static Procedures proceduresWith();
  Win32InputHooks(std::size_t ringCapacity, Procedures procedures);

 private:
  using Event = std::variant<KeyEvent, MouseEvent>;
  // What the system called a procedure with, to know the same event again.
  struct Heard {
    WPARAM message = 0;
    DWORD code = 0;  // vkCode, or mouseData
    DWORD scanCode = 0;
    LONG x = 0;
    LONG y = 0;
    DWORD flags = 0;
    DWORD time = 0;
    ULONG_PTR extraInfo = 0;
    friend bool operator==(const Heard&, const Heard&) = default;
  };
  enum class Request { install, remove, stop };

  // Info: KBDLLHOOKSTRUCT or MSLLHOOKSTRUCT.
  template <typename Probe, typename Info>
  static LRESULT CALLBACK procedure(int code, WPARAM wParam, LPARAM lParam);
  static Heard heardOf(WPARAM message, const KBDLLHOOKSTRUCT& info);
  static Heard heardOf(WPARAM message, const MSLLHOOKSTRUCT& info);
  static Event eventOf(WPARAM message, const KBDLLHOOKSTRUCT& info, std::int64_t atUs);
  static Event eventOf(WPARAM message, const MSLLHOOKSTRUCT& info, std::int64_t atUs);
  template <typename Probe>
  static LRESULT handOn(int code, WPARAM wParam, LPARAM lParam);

  // Hook thread.
  bool takes(const Heard& heard) const;
  template <typename Probe>
  LRESULT handOnHeard(const Heard& heard, int code, WPARAM wParam, LPARAM lParam);
  void take(const Event& event);
  void runHookThread();
  bool answer(Request request);
  bool hookNewPair();
  void retireOldPair();
  void unhookAll();
  void takeMessages();
  void handOver();

  // Window thread.
  std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool ask(Request request);
  void deliver();
  void discardQueued();

  // The object that hooks; read and written on its hook thread, the one the
  // system calls the procedures on.
  static inline std::atomic<Win32InputHooks*> hooking_{nullptr};

  const Procedures procedures_;
  OwnedWindow window_;
  SpscRing<Event> ring_;
  std::atomic<bool> handOverPosted_{false};
  std::atomic<std::uint64_t> lostMoves_{0};
  std::atomic<std::uint64_t> lostOthers_{0};
  std::atomic<std::uint32_t> lastEventTicks_[2] = {0, 0};

  // The window thread's requests, each answered before the next is made.
  KernelHandle requested_;
  KernelHandle answered_;
  Request request_ = Request::stop;
  bool answer_ = false;
  std::thread thread_;

  // Window thread only.
  InputListener* listener_ = nullptr;
  std::uint64_t handOvers_ = 0;

  // Hook thread only.
  HookHandle keyboard_;
  HookHandle mouse_;
  HookHandle oldKeyboard_;
  HookHandle oldMouse_;
  bool hooked_ = false;   // events are taken
  bool overlap_ = false;  // the old pair and the new one are both in
  std::int64_t retireAtUs_ = 0;  // when the old pair comes out
  // What the calls of our procedures under way on this thread hand on,
  // outermost first; calls deeper than that are not remembered.
  static constexpr int kRemembered = 16;
  Heard handingOn_[kRemembered];
  int depth_ = 0;
  HandOverBatch batch_{kMoveBatchMs * 1000};
};
