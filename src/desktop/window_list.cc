#include "desktop/window_list.h"

#include <unordered_set>
#include <vector>

#include "desktop/messages.h"

std::wstring readWindowTitle(WindowSystem& windows, WindowHandle window) {
  std::int32_t length = windows.titleLength(window);
  if (length <= 0) return {};
  // The title may change between the two calls; the buffer stays zeroed past
  // whatever was copied.
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  windows.readTitle(window, buffer.data(), length + 1);
  buffer.back() = L'\0';
  return std::wstring(buffer.data());
}

void refreshWindowList(WindowSystem& windows, WindowListBox& list) {
  list.removeAll();
  list.append(texts::kAllWindows, 0);
  std::unordered_set<WindowHandle> seen;
  WindowHandle window = windows.firstChild(windows.desktopWindow());
  for (std::int32_t walked = 0; window != 0 && walked < kMaxWalkedWindows; ++walked) {
    if (!seen.insert(window).second) break;
    std::wstring title = readWindowTitle(windows, window);
    if (!title.empty() && windows.isVisible(window) && !windows.isCloaked(window)) list.append(title, window);
    window = windows.nextWindow(window);
  }
  list.select(0);
}

bool isTargetWindowInFront(WindowSystem& windows, WindowListBox& list) {
  std::optional<std::uint32_t> target = list.valueAt(list.selectedIndex());
  WindowHandle front = windows.foregroundWindow();
  return target.has_value() && *target == front;
}
