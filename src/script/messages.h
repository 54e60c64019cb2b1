#pragma once

// What the player says to the user.

namespace texts {

inline constexpr wchar_t kEmptyScript[] = L"请设置好脚本再运行!";
// A run pauses while the session is locked or away, or the secure desktop has
// the input, and waits while the window in front does not answer.
inline constexpr wchar_t kDesktopAway[] = L"桌面已锁定或切换,脚本暂停执行!";
inline constexpr wchar_t kForegroundHung[] = L"前台窗口没有响应,脚本等待中!";

}  // namespace texts
