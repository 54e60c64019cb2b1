#pragma once

#include <atomic>
#include <cstdint>

// What keeps input from landing on the desktop for a while, as the system
// tells the window thread: the session locked or disconnected, the machine
// suspended. Closed while any of them holds. Any thread reads it; the window
// thread opens and closes it.
class DesktopGate {
 public:
  enum Cause : std::uint32_t { locked = 1, disconnected = 2, suspended = 4 };

  // The cause begins (away) or ends. True when the gate changed between
  // open and closed.
  bool set(Cause cause, bool away) {
    const std::uint32_t before = causes_.load();
    const std::uint32_t after = away ? before | cause : before & ~std::uint32_t{cause};
    causes_.store(after);
    return (before == 0) != (after == 0);
  }
  bool isOpen() const { return causes_.load() == 0; }

 private:
  std::atomic<std::uint32_t> causes_{0};
};
