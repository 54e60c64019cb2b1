#pragma once

// What the window list and the script files show.

namespace texts {

// Entry 0 of the window list.
inline constexpr wchar_t kAllWindows[] = L"所有窗口";

inline constexpr wchar_t kScriptFileFilterName[] = L"脚本文件(*.sbj)";
inline constexpr wchar_t kScriptFileFilterPattern[] = L"*.sbj";
inline constexpr wchar_t kScriptFileExtension[] = L"sbj";

// A script file read: "共" N "条脚本", N the script box's line count.
inline constexpr wchar_t kLineCountPrefix[] = L"共";
inline constexpr wchar_t kLineCountSuffix[] = L"条脚本";
inline constexpr wchar_t kScriptFileUnreadable[] = L"无法读取脚本文件!";
inline constexpr wchar_t kScriptSaveFailed[] = L"脚本保存失败!";
inline constexpr wchar_t kScriptNotEncodable[] = L"脚本含有无法保存的字符!";

}  // namespace texts
