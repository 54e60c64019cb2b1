#pragma once

#include <cstdint>

#include "platform/device_activity.h"
#include "platform/input.h"
#include "platform/system.h"

// Keeps the hooks in from installHooks() to removeHooks(): Windows removes a low-level hook without a word when it misses the hook
// timeout (at most 1 s since Windows 10 1709), and only the hook whose event
// was late goes: hot keys or recording would then be dead until the program
// restarts. The watchdog watches each hook against evidence of input from its
// own device, taken once a look (about a second), and installs both hooks
// again when one of them missed input that its device gave.
//
// Keyboard evidence: the keyboard's own activity, seen apart from the hooks.
// Mouse evidence, which costs nothing per move: the cursor stands elsewhere
// than at the last look, and the system's last input came since the last
// look and was no key. A cursor placed by the player is no evidence: on
// Windows it may reach no hook at all.
//
// Input that the hooks cannot see is no evidence either: while a window above
// ours is in front, or the secure desktop has the input (the cursor cannot be
// read then). A look that finds either, or follows one that did, or follows
// the moment such a window came to the front, counts input only from then on.
class HookWatchdog {
 public:
  // At most one reinstallation in this time, so that a hook that cannot see
  // some input is not installed again at every look.
  static constexpr std::uint32_t kPatienceMs = 3000;
  // A hook that was called no longer than this before its device's input
  // heard it: the hook is called before the input goes on to the windows,
  // behind the other programs' hooks, which may each take up to the timeout.
  static constexpr std::uint32_t kHookLagMs = 1000;
  // The last input was a key when it came no later than this after the
  // keyboard's last key: both are the stamp of one event, a tick or two apart.
  static constexpr std::uint32_t kSameEventMs = 50;

  struct Evidence {
    KeyboardActivity& keyboard;
    LastInputClock& lastInput;
    CursorPosition& cursor;
  };
  // What the program knows at a look.
  struct Circumstances {
    // The foreground window's process is above ours: the system shows our
    // hooks none of the input aimed at it.
    bool inputHiddenFromHooks = false;
    // A run is on: the player places the cursor. Its last placements are
    // still in the cursor at the look after its end.
    bool playerPlacesCursor = false;
  };

  HookWatchdog(InputHooks& hooks, InputListener& listener, const Evidence& evidence, TickClock& clock);

  // Window thread: the hooks go in for the listener and are kept in.
  void installHooks();
  // Window thread: the hooks come out and stay out; nothing below installs
  // them again.
  void removeHooks();
  // Window thread, about once a second. True when it installed the hooks
  // again.
  bool check(const Circumstances& now);
  // Installs both hooks again whatever they heard: after a resume from sleep
  // or an unlock, when the system may have dropped them.
  void reinstall();
  // Window thread: a window above ours came to the front, and may have left
  // before the next look.
  void noteInputHidden() {
    if (wanted_) hiddenSinceLastLook_ = true;
  }

 private:
  // Whether the device's hook was called for input stamped at tick.
  bool heard(InputDevice device, std::uint32_t tick);

  InputHooks& hooks_;
  InputListener& listener_;
  Evidence evidence_;
  TickClock& clock_;
  bool wanted_ = false;
  // Input before this tick is no evidence: the hooks were installed then, or
  // the input may have been hidden from them.
  std::uint32_t floor_;
  std::uint32_t reinstalledAt_;
  bool reinstalled_ = false;
  std::uint32_t lastLookAt_;
  MousePoint lastCursor_;
  bool playerPlacedAtLastLook_ = false;
  // The input since the last look may have been hidden from the hooks in part.
  bool hiddenSinceLastLook_ = false;
};
