#pragma once

// The system-wide input hooks and synthetic input. Abstract so that they can
// be mocked out for tests.

#include <cstdint>
#include <optional>

// Key transition codes, as the keyboard hook delivers them and the key
// injection takes them back: the flag word of the matching key event.
inline constexpr std::int32_t kKeyPress = 0;
inline constexpr std::int32_t kKeyRelease = 2;

// Mouse event codes: the MOUSEEVENTF_ flag word of the event.
namespace mouse_code {
inline constexpr std::int32_t kMove = 0x0001;
inline constexpr std::int32_t kLeftDown = 0x0002;
inline constexpr std::int32_t kLeftUp = 0x0004;
inline constexpr std::int32_t kRightDown = 0x0008;
inline constexpr std::int32_t kRightUp = 0x0010;
inline constexpr std::int32_t kMiddleDown = 0x0020;
inline constexpr std::int32_t kMiddleUp = 0x0040;
inline constexpr std::int32_t kXDown = 0x0080;
inline constexpr std::int32_t kXUp = 0x0100;
inline constexpr std::int32_t kWheel = 0x0800;
inline constexpr std::int32_t kHWheel = 0x1000;
inline constexpr std::int32_t kAbsolute = 0x8000;

// Events that carry a value of their own: the wheel's signed delta (120 a
// notch), or which side button, 1 or 2.
inline constexpr bool carriesData(std::int32_t code) {
  return code == kWheel || code == kHWheel || code == kXDown || code == kXUp;
}
}  // namespace mouse_code

// Every event Tamsik injects carries this value in its extra-info field.
inline constexpr std::uintptr_t kOwnInputMarker = 0x54534B31;  // "TSK1"

// A position on the screen, in physical pixels.
struct MousePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const MousePoint&, const MousePoint&) = default;
};

struct KeyEvent {
  std::int32_t transition = 0;
  std::int32_t vk = 0;
  bool ownInput = false;  // injected by Tamsik itself
  bool extended = false;  // the key sits on an E0-prefixed scan code
  // The system's stamp: on the tick clock (10-16 ms steps on Windows), and
  // whatever the program that injected the event chose. Not for timing.
  std::uint32_t time = 0;
  // When the hook was called with the event, in microseconds on the clock of
  // SteadyClock: what script lines are stamped with.
  std::int64_t atUs = 0;

  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

struct MouseEvent {
  std::int32_t code = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool ownInput = false;
  // For the codes that carry data (mouse_code::carriesData), its value; else 0.
  std::int32_t data = 0;
  std::uint32_t time = 0;  // as KeyEvent's
  std::int64_t atUs = 0;

  friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// Receives the hooks' events on the window thread, one at a time between its
// messages, in the order they happened, every event once. Returns nothing:
// the hooks never withhold an event from the system.
class InputListener {
 public:
  virtual ~InputListener() = default;
  virtual void onKey(const KeyEvent& event) = 0;
  virtual void onMouse(const MouseEvent& event) = 0;
};

enum class InputDevice { keyboard, mouse };

// The system-wide keyboard and mouse hooks.
class InputHooks {
 public:
  virtual ~InputHooks() = default;
  // Window thread. Installs both low-level hooks, replacing any installed
  // before: the new ones are in before the old ones go, so that every event
  // reaches the same listener exactly once across the change, and events on
  // their way to it still do. False when the system refused either hook (the
  // old one then stays).
  virtual bool install(InputListener& listener) = 0;
  // Window thread. The listener gets nothing more, not even events that
  // were on their way.
  virtual void remove() = 0;
  // Any thread: the tick at which the device's hook was last called, 0
  // before the first. Hooks that work through a backlog of input are called
  // now, whatever the stamps of the events they are given.
  virtual std::uint32_t lastEventTick(InputDevice device) = 0;
  // Any thread: the events the system gave the hooks and the listener never
  // got, since the hooks were made (the window thread fell behind by more
  // than they could hold).
  virtual std::uint64_t lostEvents() = 0;
};

// Synthetic input. Any thread; the player's thread is the one that uses it.
class InputInjector {
 public:
  virtual ~InputInjector() = default;
  // The calling thread does now whatever the first injection on a thread
  // would do the first time (under Wine the first MapVirtualKeyW on a thread
  // opens its X connection, 20-87 ms), so that the injections that follow
  // go out when they are due. Injects nothing. The player's run thread calls
  // it once, before it takes its first due moment.
  virtual void warmUp() = 0;
  // transition 2 releases the key, any other value presses it. Without an
  // extended flag of its own, the key gets the one usual for its code.
  // Both injections: false when the system refused the event. Windows says
  // no more than that; it refuses so the input that UIPI blocks, aimed at a
  // window of a process above ours.
  virtual bool injectKeyEvent(std::int32_t vk, std::int32_t transition, std::optional<bool> extended) = 0;
  // One mouse event with the effect of mouse_event(flags, dx, dy, data, marker).
  virtual bool injectMouseEvent(std::int32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data) = 0;
  virtual void setCursorPos(std::int32_t x, std::int32_t y) = 0;
};
