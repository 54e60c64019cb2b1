#pragma once

// Child-window identifiers of the main window's controls, shared with the
// tests that read the window from outside. Controls inside a group box are
// children of that group box.

namespace control_id {

inline constexpr int 分组框1 = 1001;  // the options group
inline constexpr int 选择框1 = 1011;  // record mouse moves
inline constexpr int 选择框2 = 1012;  // loop the script
inline constexpr int 选择框3 = 1013;  // minimise while recording
inline constexpr int 选择框4 = 1014;  // minimise while running
inline constexpr int 选择框5 = 1015;  // run only under the chosen window
inline constexpr int 选择框6 = 1016;  // record keys
inline constexpr int 选择框7 = 1017;  // record mouse buttons
inline constexpr int 标签4 = 1021;    // "鼠标移动灵敏度", the sensitivity label
inline constexpr int 编辑框1 = 1022;   // the move sensitivity in milliseconds
inline constexpr int 编辑框1Arrows = 1023;  // the up-down control beside 编辑框1
inline constexpr int 标签2 = 1024;    // "程序功能说明", the help title
inline constexpr int 标签3 = 1025;    // the help text
inline constexpr int 按钮2 = 1026;    // clear the script box
inline constexpr int 分组框2 = 1002;  // the script group
inline constexpr int 透明标签1 = 1031;  // "指定前台窗口:"
inline constexpr int 组合框 = 1032;    // the window list
inline constexpr int 打开脚本按钮 = 1033;
inline constexpr int 保存脚本按钮 = 1034;
inline constexpr int 按钮1 = 1035;    // refresh the window list
inline constexpr int 脚本框 = 1036;
inline constexpr int 状态条1 = 1003;  // cursor position, messages

// Timer identifier of 时钟1, the idle timer of the tray icon.
inline constexpr int 时钟1 = 1;

}  // namespace control_id

// Window class of the main window, for finding it from outside.
inline constexpr wchar_t kMainWindowClass[] = L"TamsikMainWindow";
// The registered message by which a second copy asks the running one to come
// to the front.
inline constexpr wchar_t kComeForwardMessage[] = L"Tamsik.ComeForward";
