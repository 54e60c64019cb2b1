#pragma once

// Child-window identifiers of the main window's controls, shared with the
// tests that read the window from outside. Controls inside a group box are
// children of that group box.

namespace control_id {

inline constexpr int 分组框1 = 1001;
inline constexpr int 选择框1 = 1011;
inline constexpr int 选择框2 = 1012;
inline constexpr int 选择框3 = 1013;
inline constexpr int 选择框4 = 1014;
inline constexpr int 选择框5 = 1015;
inline constexpr int 选择框6 = 1016;
inline constexpr int 选择框7 = 1017;
inline constexpr int 标签4 = 1021;
inline constexpr int 编辑框1 = 1022;
inline constexpr int 编辑框1Arrows = 1023;  // the up-down control beside 编辑框1
inline constexpr int 标签2 = 1024;
inline constexpr int 标签3 = 1025;
inline constexpr int 按钮2 = 1026;
inline constexpr int 分组框2 = 1002;
inline constexpr int 透明标签1 = 1031;
inline constexpr int 组合框 = 1032;
inline constexpr int 打开脚本按钮 = 1033;
inline constexpr int 保存脚本按钮 = 1034;
inline constexpr int 按钮1 = 1035;
inline constexpr int 脚本框 = 1036;
inline constexpr int 状态条1 = 1003;

// Timer identifier of 时钟1.
inline constexpr int 时钟1 = 1;

}  // namespace control_id

// Window class of the main window, for finding it from outside.
inline constexpr wchar_t kMainWindowClass[] = L"TamsikMainWindow";
