#pragma once

// What the player says to the user.

namespace texts {

inline constexpr wchar_t kEmptyScript[] = L"请设置好脚本再运行!";

}  // namespace texts
