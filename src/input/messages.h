#pragma once

// What the hot keys write into the status bar.

namespace texts {

// The end of a recording: "共" N "条脚本,估计执行时间需要" S "秒".
inline constexpr wchar_t kSummaryPrefix[] = L"共";
inline constexpr wchar_t kSummaryMiddle[] = L"条脚本,估计执行时间需要";
inline constexpr wchar_t kSummarySuffix[] = L"秒";
// Then, when the hooks could not hand over N events: ",丢失" N "个输入事件!".
inline constexpr wchar_t kLostPrefix[] = L",丢失";
inline constexpr wchar_t kLostSuffix[] = L"个输入事件!";

inline constexpr wchar_t kTargetNotInFront[] = L"前台窗口不符合条件!";
// F12 while a program that runs as administrator is in front, and Tamsik
// does not: Windows drops the input injected into it.
inline constexpr wchar_t kForegroundElevated[] = L"前台窗口以管理员身份运行,模拟输入无效!";

}  // namespace texts
