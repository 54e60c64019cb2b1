#include "platform/win32/window_thread.h"

namespace {

constexpr UINT kRunTasks = WM_APP + 0x54;
constexpr wchar_t kWindowClass[] = L"TamsikWindowThread";

}  // namespace

Win32WindowThread::Win32WindowThread() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Win32WindowThread::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0;
  }();
  if (!registered) return;
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32WindowThread::~Win32WindowThread() {
  if (window_) DestroyWindow(window_);
}

void Win32WindowThread::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    if (messagePosted_) return;
    messagePosted_ = true;
  }
  if (window_ && PostMessageW(window_, kRunTasks, 0, 0)) return;
  // A full message queue: the next post tries again.
  std::lock_guard lock(mutex_);
  messagePosted_ = false;
}

void Win32WindowThread::runPosted() {
  // A task that runs a modal loop lets this message in again; the outer call
  // goes on with what comes next, so that tasks keep their order.
  if (running_) return;
  running_ = true;
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(tasks_);
  }
  for (std::function<void()>& task : tasks) task();
  running_ = false;
  // What was posted meanwhile waits for the next message, so that a steady
  // stream of tasks never keeps the thread from its other messages.
  {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) {
      messagePosted_ = false;
      return;
    }
  }
  if (PostMessageW(window_, kRunTasks, 0, 0)) return;
  std::lock_guard lock(mutex_);
  messagePosted_ = false;
}

LRESULT CALLBACK Win32WindowThread::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunTasks) {
    if (auto* self = reinterpret_cast<Win32WindowThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) self->runPosted();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
