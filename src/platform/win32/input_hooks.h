#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/input.h"

// The low-level keyboard and mouse hooks of the calling thread, which must
// pump messages for the listener to be called. One pair per process: a later
// install() of any instance takes the listener over.
class Win32InputHooks : public InputHooks {
 public:
  Win32InputHooks() = default;
  Win32InputHooks(const Win32InputHooks&) = delete;
  Win32InputHooks& operator=(const Win32InputHooks&) = delete;
  ~Win32InputHooks() override;

  bool install(InputListener& listener) override;
  void remove() override;

 private:
  struct Unhook {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
  };
  using HookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhook>;

  HookHandle keyboardHook_;
  HookHandle mouseHook_;
  InputListener* listener_ = nullptr;
};
