#include "platform/win32/input_hooks.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "input/hook_codes.h"
#include "platform/win32/input_hook_procedures.h"
#include "platform/win32/system.h"

namespace {

constexpr UINT kHandOver = WM_APP + 0x48;

}  // namespace

Win32InputHooks::Win32InputHooks(std::size_t ringCapacity) : Win32InputHooks(ringCapacity, proceduresWith<NoProbe>()) {}

Win32InputHooks::Win32InputHooks(std::size_t ringCapacity, Procedures procedures)
    : procedures_(procedures),
      ring_(ringCapacity),
      requested_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      answered_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (!requested_ || !answered_) return;
  window_ = createMessageWindow(*this);
}

Win32InputHooks::~Win32InputHooks() {
  remove();
  if (thread_.joinable()) {
    ask(Request::stop);
    thread_.join();
  }
}

bool Win32InputHooks::takes(const Heard& heard) const {
  if (!hooked_) return false;
  if (!overlap_) return true;
  // While both pairs are in, the new hook's hand-on calls the old one on this
  // thread with the same event, from inside our own call. Other events can
  // come in inside our call too, while the hand-on waits for a hook of
  // another thread: those are new, and the one that waited may come back to
  // the old hook from inside their calls.
  const Heard* const end = handingOn_ + std::min(depth_, kRemembered);
  return std::find(handingOn_, end, heard) == end;
}

void Win32InputHooks::take(const Event& event) {
  const auto* mouse = std::get_if<MouseEvent>(&event);
  const InputDevice device = mouse ? InputDevice::mouse : InputDevice::keyboard;
  lastEventTicks_[static_cast<int>(device)].store(GetTickCount(), std::memory_order_relaxed);
  const bool move = mouse && mouse->code == mouse_code::kMove;
  if (!ring_.push(event, move ? ring_.capacity() / 4 : 0)) {
    (move ? lostMoves_ : lostOthers_).fetch_add(1, std::memory_order_relaxed);
    return;
  }
  batch_.taken(move, mouse ? mouse->atUs : std::get<KeyEvent>(event).atUs);
}

void Win32InputHooks::handOver() {
  batch_.handedOver();
  // A message on its way takes these events too: the window thread lowers
  // the flag only as it begins to empty the ring, and the exchange that reads
  // the flag up orders the events before that.
  if (handOverPosted_.exchange(true, std::memory_order_acq_rel)) return;
  if (PostMessageW(window_.get(), kHandOver, 0, 0)) return;
  // The window thread's queue is full (10,000 posted messages): try again a
  // batch later.
  handOverPosted_.store(false, std::memory_order_release);
  batch_.refused(steadyNowUs());
}

void Win32InputHooks::takeMessages() {
  // The system calls the procedures while this thread takes its messages:
  // sent ones, which a PeekMessage handles before it looks for posted ones.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

bool Win32InputHooks::hookNewPair() {
  // One old pair at a time: a pair still retiring goes now.
  retireOldPair();
  hooking_.store(this, std::memory_order_release);
  HINSTANCE module = GetModuleHandleW(nullptr);
  HookHandle keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, procedures_.keyboard, module, 0));
  HookHandle mouse(SetWindowsHookExW(WH_MOUSE_LL, procedures_.mouse, module, 0));
  const bool both = keyboard && mouse;
  // A new hook goes in at the head of the chain: what comes from now on
  // reaches the new pair first, and the old one only through it. An event
  // the system gave the old pair before, or handed to another program's hook
  // between the two, reaches the old pair alone, maybe much later: the old
  // pair stays in for a while. A hook the system refused keeps its old one,
  // dead or not.
  hooked_ = true;
  overlap_ = true;
  if (keyboard) oldKeyboard_ = std::exchange(keyboard_, std::move(keyboard));
  if (mouse) oldMouse_ = std::exchange(mouse_, std::move(mouse));
  retireAtUs_ = steadyNowUs() + kOverlapMs * 1000;
  hooked_ = keyboard_ || mouse_;
  return both;
}

void Win32InputHooks::retireOldPair() {
  if (!overlap_) return;
  takeMessages();
  oldKeyboard_.reset();
  oldMouse_.reset();
  // Calls that were on their way to the old pair may still come.
  takeMessages();
  overlap_ = false;
}

void Win32InputHooks::unhookAll() {
  hooked_ = false;
  keyboard_.reset();
  mouse_.reset();
  oldKeyboard_.reset();
  oldMouse_.reset();
  overlap_ = false;
  // Calls that were on their way to the removed pair hand on and take nothing.
  takeMessages();
  // Left alone when another object hooks since this one was removed.
  Win32InputHooks* self = this;
  hooking_.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

bool Win32InputHooks::answer(Request request) {
  bool going = true;
  switch (request) {
    case Request::install:
      answer_ = hookNewPair();
      break;
    case Request::remove:
      unhookAll();
      answer_ = true;
      break;
    case Request::stop:
      unhookAll();
      answer_ = true;
      going = false;
      break;
  }
  SetEvent(answered_.get());
  return going;
}

void Win32InputHooks::runHookThread() {
  // The thread only copies events, so it never holds the processor for
  // long; its priority keeps a busy machine from making the hooks miss the
  // system's timeout.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  // The queue before the first hook: Windows holds input for a hook until its
  // thread takes messages, but Wine passes input by a hook whose thread has
  // no queue yet, so the first key after an install went unheard.
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HANDLE requested = requested_.get();
  for (;;) {
    const std::int64_t nowUs = steadyNowUs();
    std::optional<std::int64_t> delayUs = batch_.delayUs(nowUs);
    if (overlap_) delayUs = std::min(delayUs.value_or(INT64_MAX), std::max<std::int64_t>(0, retireAtUs_ - nowUs));
    const DWORD timeout = delayUs ? static_cast<DWORD>((*delayUs + 999) / 1000) : INFINITE;
    // The window thread is told only once the procedures have returned, since
    // posting it a message is a round trip to the server under Wine.
    if (timeout != 0 &&
        MsgWaitForMultipleObjectsEx(1, &requested, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
      if (!answer(request_)) return;
    }
    takeMessages();
    if (batch_.due(steadyNowUs())) handOver();
    if (overlap_ && steadyNowUs() >= retireAtUs_) retireOldPair();
  }
}

bool Win32InputHooks::ask(Request request) {
  if (!thread_.joinable()) {
    if (!window_) return false;
    thread_ = std::thread([this] { runHookThread(); });
  }
  request_ = request;
  SetEvent(requested_.get());
  // The hook thread never waits for this one, so the answer comes.
  WaitForSingleObject(answered_.get(), INFINITE);
  return answer_;
}

bool Win32InputHooks::install(InputListener& listener) {
  if (!window_) return false;
  // Events on their way to another listener are not this one's.
  if (listener_ != &listener) discardQueued();
  listener_ = &listener;
  return ask(Request::install);
}

void Win32InputHooks::remove() {
  if (thread_.joinable()) ask(Request::remove);
  listener_ = nullptr;
  discardQueued();
}

void Win32InputHooks::discardQueued() {
  for (Event event; ring_.pop(event);) {
  }
}

void Win32InputHooks::deliver() {
  // Lowered before the ring is read: an event taken after the last look
  // finds the flag down and asks for a message of its own.
  handOverPosted_.exchange(false, std::memory_order_acq_rel);
  ++handOvers_;
  // One at a time, and the listener looked at anew for each: a listener that
  // runs a modal loop lets the next hand-over in, which goes on from here,
  // and one that removes the hooks gets nothing more.
  for (Event event; listener_ && ring_.pop(event);) {
    if (const auto* key = std::get_if<KeyEvent>(&event)) {
      listener_->onKey(*key);
    } else {
      listener_->onMouse(std::get<MouseEvent>(event));
    }
  }
  if (!listener_) discardQueued();
}

std::optional<LRESULT> Win32InputHooks::onMessage(UINT message, WPARAM, LPARAM) {
  if (message != kHandOver) return std::nullopt;
  deliver();
  return 0;
}
