#pragma once

// An independent witness of the desktop's input: low-level keyboard and mouse
// hooks on a thread of their own in this process, which sees every event of
// every program, stamped with the performance counter as it arrives. Tests and
// benchmarks time what the user gets with it, the original input and a
// replay alike.

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

struct LoggedEvent {
  double atMs = 0;  // the performance counter when the hook saw it
  bool mouse = false;
  std::uint32_t message = 0;  // WM_KEYDOWN.. for keys, WM_MOUSEMOVE.. for the mouse
  std::uint32_t vk = 0;
  std::uint32_t flags = 0;
  POINT point{};
  std::uint32_t mouseData = 0;
  std::uint32_t time = 0;         // the system's stamp
  std::uint32_t arrivalTick = 0;  // GetTickCount when the hook saw it, on the stamp's clock
  std::uintptr_t extraInfo = 0;

  bool injected() const { return (flags & (mouse ? LLMHF_INJECTED : LLKHF_INJECTED)) != 0; }
  bool keyUp() const { return !mouse && (flags & LLKHF_UP) != 0; }
  bool extended() const { return !mouse && (flags & LLKHF_EXTENDED) != 0; }
  bool isMove() const { return mouse && message == WM_MOUSEMOVE; }
  std::int16_t highWord() const { return static_cast<std::int16_t>(HIWORD(mouseData)); }
};

class InputLog {
 public:
  InputLog();
  ~InputLog();
  InputLog(const InputLog&) = delete;
  InputLog& operator=(const InputLog&) = delete;

  // Whether both hooks are in place.
  bool ready() const { return ready_; }
  std::vector<LoggedEvent> events() const;
  std::size_t size() const;
  void clear();

 private:
  static LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK mouseProc(int code, WPARAM wParam, LPARAM lParam);
  static void add(const LoggedEvent& event);
  static DWORD WINAPI run(void* self);

  mutable std::mutex mutex_;
  std::vector<LoggedEvent> events_;
  // The hook thread waits for stop_ itself: a WM_QUIT posted to it was
  // seen to go missing under Wine, and the log's end then waited forever.
  HANDLE started_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  bool ready_ = false;
};
