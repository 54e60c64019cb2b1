#pragma once

// Every caption and message the user sees, in one place.

#include <string>

namespace texts {

inline constexpr wchar_t kProductName[] = L"Tamsik";
inline constexpr wchar_t kTitlePrefix[] = L"Tamsik  By：";
inline constexpr wchar_t kPublisherDomain[] = L"tamsik.example";

inline constexpr wchar_t kTrayTip[] = L"按键模拟程序正在运行!";

// Captions of the main window's controls.
inline constexpr wchar_t k分组框1[] = L"选项:";
inline constexpr wchar_t k选择框1[] = L"记录鼠标移动轨迹";
inline constexpr wchar_t k选择框2[] = L"循环执行脚本";
inline constexpr wchar_t k选择框3[] = L"记录脚本时,程序最小化";
inline constexpr wchar_t k选择框4[] = L"运行脚本时,程序最小化";
inline constexpr wchar_t k选择框5[] = L"在指定的窗口下运行";
inline constexpr wchar_t k选择框6[] = L"记录键盘动作";
inline constexpr wchar_t k选择框7[] = L"记录鼠标动作";
inline constexpr wchar_t k标签4[] = L"鼠标移动灵敏度";
inline constexpr wchar_t k编辑框1[] = L"10";
inline constexpr wchar_t k标签2[] = L"程序功能说明";
inline constexpr wchar_t k按钮2[] = L"清除";
inline constexpr wchar_t k分组框2[] = L"脚本框:";
inline constexpr wchar_t k透明标签1[] = L"指定前台窗口:";
inline constexpr wchar_t k打开脚本按钮[] = L"打开脚本";
inline constexpr wchar_t k保存脚本按钮[] = L"保存脚本";
inline constexpr wchar_t k按钮1[] = L"刷新窗口";

inline constexpr wchar_t k标签2Font[] = L"楷体_GB2312";

inline constexpr wchar_t kHelpText[] =
    L"记录开始=ScrollLock键\r\n"
    L"记录结束=ScrollLock键\r\n"
    L"运行脚本=F12键\r\n"
    L"结束脚本运行=F11键\r\n"
    L"HOME键隐藏窗口\r\n"
    L"灵敏度越小,记录的脚本越多!模拟精度越高!";

// Entry 0 of the window list.
inline constexpr wchar_t kAllWindows[] = L"所有窗口";

// The end of a recording: "共" N "条脚本,估计执行时间需要" S "秒".
inline constexpr wchar_t kSummaryPrefix[] = L"共";
inline constexpr wchar_t kSummaryMiddle[] = L"条脚本,估计执行时间需要";
inline constexpr wchar_t kSummarySuffix[] = L"秒";

inline constexpr wchar_t kTargetNotInFront[] = L"前台窗口不符合条件!";
inline constexpr wchar_t kEmptyScript[] = L"请设置好脚本再运行!";

inline constexpr wchar_t kScriptFileFilterName[] = L"脚本文件(*.sbj)";
inline constexpr wchar_t kScriptFileFilterPattern[] = L"*.sbj";
inline constexpr wchar_t kScriptFileExtension[] = L"sbj";

// A script file read: "共" N "条脚本", N the script box's line count.
inline constexpr wchar_t kLineCountSuffix[] = L"条脚本";
inline constexpr wchar_t kScriptFileUnreadable[] = L"无法读取脚本文件!";
inline constexpr wchar_t kScriptSaveFailed[] = L"脚本保存失败!";
inline constexpr wchar_t kScriptNotEncodable[] = L"脚本含有无法保存的字符!";

std::wstring windowTitle();

}  // namespace texts
