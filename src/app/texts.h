#pragma once

// The captions of the main window and the tray; with the messages of the
// layers below, every text the user sees.

#include <functional>
#include <string>

#include "desktop/messages.h"
#include "input/messages.h"
#include "script/messages.h"

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

// The font of 标签2 and the faces to fall back on, in order: Windows 10 and
// 11 no longer have 楷体_GB2312, only 楷体, which an English system may know
// by its English name alone. With none of them, the system's default font.
inline constexpr const wchar_t* k标签2Fonts[] = {L"楷体_GB2312", L"楷体", L"KaiTi"};

inline constexpr wchar_t kHelpText[] =
    L"记录开始=ScrollLock键\r\n"
    L"记录结束=ScrollLock键\r\n"
    L"运行脚本=F12键\r\n"
    L"结束脚本运行=F11键\r\n"
    L"HOME键隐藏窗口\r\n"
    L"灵敏度越小,记录的脚本越多!模拟精度越高!";

std::wstring windowTitle();
// The first face of k标签2Fonts that installed() knows; empty when none.
std::wstring 标签2FontFace(const std::function<bool(const std::wstring&)>& installed);

}  // namespace texts
