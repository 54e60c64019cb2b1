// What the player pays to read the script box: EditScriptBox::line near the
// start, middle and end and EditScriptBox::lineCount, on a real edit control
// holding 10 script lines and holding 100,000. Each read is timed on the
// edit's own thread and from a second thread while the owner pumps messages,
// which is how the player reads.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/edit_script_box.h"
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

Reads measure(EditScriptBox& box, int lines) {
  Reads reads;
  volatile std::size_t sink = 0;
  const int middle = lines / 2;
  const int last = lines - 1;
  reads.correct = box.lineCount() == lines + 1 && box.line(last) == std::to_wstring(100000 + last) + L" 0 65 0 0";
  reads.first = microsecondsPerCall([&] { sink = sink + box.line(1).size(); });
  reads.middle = microsecondsPerCall([&] { sink = sink + box.line(middle).size(); });
  reads.last = microsecondsPerCall([&] { sink = sink + box.line(last).size(); });
  reads.count = microsecondsPerCall([&] { sink = sink + static_cast<std::size_t>(box.lineCount()); });
  return reads;
}

// From a second thread; this thread answers the edit's messages meanwhile.
Reads measureFromAnotherThread(EditScriptBox& box, int lines) {
  Reads reads;
  std::atomic<bool> busy{true};
  std::thread reader([&] {
    reads = measure(box, lines);
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
  EditScriptBox box(edit);

  constexpr int kSmall = 10;
  constexpr int kBig = 100000;
  struct Size {
    Reads own;
    Reads other;
    double setTextMs = 0;
  };
  auto measureSize = [&](int lines) {
    Size size;
    const std::wstring text = scriptOf(lines);
    const double start = nowMs();
    box.setText(text);
    size.setTextMs = nowMs() - start;
    size.own = measure(box, lines);
    size.other = measureFromAnotherThread(box, lines);
    return size;
  };
  const Size small = measureSize(kSmall);
  const Size big = measureSize(kBig);

  std::printf("script box reads: microseconds per call, %d vs %d script lines\n", kSmall, kBig);
  std::printf("  setting the text once: %.2f ms vs %.2f ms\n", small.setTextMs, big.setTextMs);
  for (const auto& [title, pick] :
       {std::pair{"on the edit's own thread", &Size::own}, std::pair{"from another thread (as the player)", &Size::other}}) {
    std::printf(" %s\n  %-22s %14s %14s %10s\n", title, "call", "10 lines", "100,000 lines", "ratio");
    const Reads& a = small.*pick;
    const Reads& b = big.*pick;
    printRow("line near the start", a.first, b.first);
    printRow("line in the middle", a.middle, b.middle);
    printRow("line near the end", a.last, b.last);
    printRow("lineCount", a.count, b.count);
  }
  std::printf("  target: ratio < 2\n");
  const bool correct = small.own.correct && big.own.correct && small.other.correct && big.other.correct;
  if (!correct) std::printf("  the box read back wrong lines\n");
  DestroyWindow(window);
  return correct ? 0 : 1;
}
