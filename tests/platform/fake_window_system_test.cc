#include "fakes/fake_window_system.h"
#include "platform/window_system_contract.h"

namespace {

struct FakeWindowSystemFactory {
  WindowSystem& system() { return windows; }
  WindowHandle add(const std::wstring& title, bool visible) {
    windows.add(next, title, visible);
    return next++;
  }
  bool bringToFront(WindowHandle window) {
    windows.foreground = window;
    return true;
  }

  CallLog log;
  FakeWindowSystem windows{log};
  WindowHandle next = 0x10100;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, WindowSystemContract, FakeWindowSystemFactory);
