#pragma once

// Owners of the system's handles: each is released once, by its owner.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace handles_detail {

struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
struct Unhook {
  void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

}  // namespace handles_detail

// An event, timer, thread, file or snapshot handle. Functions that report
// failure with INVALID_HANDLE_VALUE give an empty owner through adoptFile().
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, handles_detail::CloseKernelHandle>;
inline KernelHandle adoptFile(HANDLE handle) {
  return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

using HookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, handles_detail::Unhook>;
