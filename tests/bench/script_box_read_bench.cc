// What reading the script costs: the player reads a line near the start,
// middle and end, and the line count, from the published snapshot on a thread
// of its own; the window thread pays for publishing a snapshot after the box
// changed. A real edit control holding 10 script lines and holding 100,000.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/edit_script_box.h"
#include "platform/win32/window_thread.h"
#include "script/published_script.h"
#include "support/stopwatch.h"

namespace {

// Microseconds per call, the calls repeated for at least 200 ms.
double microsecondsPerCall(const std::function<void()>& call) {
  call();  // warm-up
  int calls = 0;
  const double start = nowMs();
  double elapsed = 0;
  do {
    for (int i = 0; i < 10; ++i) call();
    calls += 10;
    elapsed = nowMs() - start;
  } while (elapsed < 200.0 || calls < 50);
  return 1000.0 * elapsed / calls;
}

std::wstring scriptOf(int lines) {
  std::wstring text;
  text.reserve(static_cast<std::size_t>(lines) * 20);
  for (int i = 0; i < lines; ++i) text += std::to_wstring(100000 + i) + L" 0 65 0 0\r\n";
  return text;
}

struct Reads {
  double first = 0;
  double middle = 0;
  double last = 0;
  double count = 0;
  bool correct = true;
};

// As the player reads: the current snapshot, then the line or the count.
Reads measure(PublishedScript& script, int lines) {
  Reads reads;
  volatile std::size_t sink = 0;
  const int middle = lines / 2;
  const int last = lines - 1;
  reads.correct = script.current()->lineCount() == lines + 1 &&
                  script.current()->line(last) == std::to_wstring(100000 + last) + L" 0 65 0 0";
  reads.first = microsecondsPerCall([&] { sink = sink + script.current()->line(1).size(); });
  reads.middle = microsecondsPerCall([&] { sink = sink + script.current()->line(middle).size(); });
  reads.last = microsecondsPerCall([&] { sink = sink + script.current()->line(last).size(); });
  reads.count = microsecondsPerCall([&] { sink = sink + static_cast<std::size_t>(script.current()->lineCount()); });
  return reads;
}

// From a second thread, as the player reads; this thread goes on with its
// messages meanwhile.
Reads measureFromAnotherThread(PublishedScript& script, int lines) {
  Reads reads;
  std::atomic<bool> busy{true};
  std::thread reader([&] {
    reads = measure(script, lines);
    busy.store(false);
  });
  while (busy.load()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  reader.join();
  return reads;
}

void printRow(const char* what, double small, double big) {
  std::printf("  %-22s %14.2f %14.2f %10.2f\n", what, small, big, small > 0 ? big / small : 0.0);
}

}  // namespace

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"tamsik read bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND edit = createScriptEdit(window, 100, 10, 10, 360, 240);
  if (window == nullptr || edit == nullptr) {
    std::fprintf(stderr, "could not create the edit control\n");
    return 1;
  }
  Win32WindowThread windowThread;
  EditScriptBox box(edit);
  PublishedScript script(box, windowThread);

  constexpr int kSmall = 10;
  constexpr int kBig = 100000;
  struct Size {
    Reads other;
    double setTextMs = 0;
    double publishMs = 0;  // after one more line is appended
  };
  auto measureSize = [&](int lines) {
    Size size;
    const std::wstring text = scriptOf(lines);
    const double start = nowMs();
    box.setText(text);
    size.setTextMs = nowMs() - start;
    script.publishNow();
    box.append(L"");
    box.append(std::to_wstring(100000 + lines) + L" 0 65 0 0\r\n");
    const double publishStart = nowMs();
    script.publishNow();
    size.publishMs = nowMs() - publishStart;
    box.setText(text);
    script.publishNow();
    size.other = measureFromAnotherThread(script, lines);
    return size;
  };
  const Size small = measureSize(kSmall);
  const Size big = measureSize(kBig);

  std::printf("script reads: %d vs %d script lines\n", kSmall, kBig);
  std::printf("  window thread, setting the box's text once: %.2f ms vs %.2f ms\n", small.setTextMs, big.setTextMs);
  std::printf("  window thread, publishing a snapshot after a change: %.3f ms vs %.3f ms\n", small.publishMs,
              big.publishMs);
  std::printf(" the player's thread, microseconds per call\n  %-22s %14s %14s %10s\n", "call", "10 lines",
              "100,000 lines", "ratio");
  printRow("line near the start", small.other.first, big.other.first);
  printRow("line in the middle", small.other.middle, big.other.middle);
  printRow("line near the end", small.other.last, big.other.last);
  printRow("lineCount", small.other.count, big.other.count);
  std::printf("  target: ratio < 2\n");
  const bool correct = small.other.correct && big.other.correct;
  if (!correct) std::printf("  the box read back wrong lines\n");
  DestroyWindow(window);
  return correct ? 0 : 1;
}
