#pragma once

#include <cstdint>
#include <string>

#include "platform/window_system.h"

// The walk gives up after this many windows. A session's USER handle table
// holds at most 65,536 objects, so a longer walk can only be one that the
// Z-order keeps feeding with new handles while it runs.
inline constexpr std::int32_t kMaxWalkedWindows = 65536;

// The window's title up to its first zero; empty when it has none.
std::wstring readWindowTitle(WindowSystem& windows, WindowHandle window);

// Fills the list with "所有窗口" (value 0) and then every visible, titled
// direct child of the desktop in Z-order that is not cloaked (shown nowhere,
// though visible), each with its handle, and selects
// entry 0. The walk ends at the first window it meets a second time and after
// kMaxWalkedWindows windows.
void refreshWindowList(WindowSystem& windows, WindowListBox& list);

// Whether the selected entry's handle is the foreground window. Handles are
// compared, never titles: two windows of one title stay apart, and a window
// closed and opened again is a new window until the list is refreshed.
bool isTargetWindowInFront(WindowSystem& windows, WindowListBox& list);
