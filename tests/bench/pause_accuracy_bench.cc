// How closely played pauses follow the script: 200 key lines with seeded
// random pauses of 1 to 50 ms are played by ScriptPlayer with real input into
// this program's own focused window, and a low-level keyboard hook on a
// thread of its own stamps every event with the performance counter. The
// same script is played with Win32Waiter and with a waiter that waits with
// plain Sleep(ms) on the same clock.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/input_desktop.h"
#include "platform/win32/input_injector.h"
#include "platform/win32/window_system.h"
#include "platform/win32/win32_waiter.h"
#include "platform/win32/window_thread.h"
#include "script/player.h"

namespace {

constexpr int kLines = 200;
constexpr unsigned kSeed = 20240601;

double countsPerMs() {
  static const double value = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  return value;
}

std::int64_t counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

class SleepWaiter : public Waiter {
 public:
  std::int64_t nowUs() override { return static_cast<std::int64_t>(static_cast<double>(counter()) / countsPerMs() * 1000); }
  WaitEnd waitUntil(std::int64_t dueUs) override {
    const std::int64_t left = dueUs - nowUs();
    if (left > 0) Sleep(static_cast<DWORD>((left + 999) / 1000));
    return WaitEnd::reached;
  }
  void interrupt() override {}
  void cancel() override {}
};

class SleepWaiterFactory : public WaiterFactory {
 public:
  std::shared_ptr<Waiter> makeWaiter() override { return std::make_shared<SleepWaiter>(); }
};

class QuietControls : public Controls {
 public:
  bool isChecked(CheckBox) override { return false; }
  void uncheck(CheckBox) override {}
  void showError(const std::wstring& text) override { std::fwprintf(stderr, L"player error: %ls\n", text.c_str()); }
  void setStatusText(StatusPanel, const std::wstring&) override {}
  std::wstring sensitivityText() override { return L""; }
  void setTimerPeriod(std::int32_t) override {}
  void minimiseWindow() override {}
};

// The hook thread's stamps; written by the hook only, read after it ended.
std::vector<std::int64_t> gStamps;
std::atomic<DWORD> gHookThread{0};

LRESULT CALLBACK stampKey(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (info.dwExtraInfo == kOwnInputMarker && gStamps.size() < gStamps.capacity()) gStamps.push_back(counter());
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void runHookThread(std::atomic<bool>& ready) {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue, for the hook and the quit message
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, stampKey, GetModuleHandleW(nullptr), 0);
  gHookThread.store(GetCurrentThreadId());
  ready.store(hook != nullptr);
  if (hook == nullptr) return;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  UnhookWindowsHookEx(hook);
}

void pumpWhile(const std::atomic<bool>& busy) {
  while (busy.load()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

double threadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto ms = [](FILETIME time) {
    return static_cast<double>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) / 10'000.0;
  };
  return ms(kernel) + ms(user);
}

// The gaps of one or more runs of the script.
struct Sample {
  std::vector<double> gapErrors;  // |actual gap - scripted gap| in ms
  std::vector<double> drifts;     // actual - scripted time from the first event to the last
  double cpuMs = 0;                // of the player's thread
  double wallMs = 0;
  int incompleteRuns = 0;          // runs whose events did not all reach the hook
};

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::min(std::max<std::size_t>(rank, 1), values.size()) - 1];
}

// Plays the script once; every gap between the stamps of two consecutive
// events against the pause that the player was to make between them.
void play(const std::wstring& script, const std::vector<int>& pauses, PublishedScript& published, ScriptBox& box,
          WaiterFactory& waiters, Sample& sample) {
  std::atomic<std::int32_t> playing{0};
  std::atomic<bool> loop{false};
  QuietControls controls;
  Win32InputInjector injector;
  DesktopGate gate;
  Win32InputDesktop inputDesktop;
  Win32WindowSystem windows;
  ScriptPlayer player(playing, published, loop, controls, injector, waiters, {gate, inputDesktop, windows});
  box.setText(script);

  gStamps.clear();
  gStamps.reserve(kLines);
  std::atomic<bool> hookReady{false};
  std::thread hookThread(runHookThread, std::ref(hookReady));
  while (gHookThread.load() == 0) Sleep(1);

  if (hookReady.load()) {
    std::atomic<bool> busy{true};
    double cpuMs = 0;
    const std::int64_t start = counter();
    ScriptPlayer::Run run = player.beginRun();
    std::thread playerThread([&] {
      player.playScript(run);
      cpuMs = threadCpuMs(GetCurrentThread());
      busy.store(false);
    });
    pumpWhile(busy);
    playerThread.join();
    sample.cpuMs += cpuMs;
    sample.wallMs += static_cast<double>(counter() - start) / countsPerMs();
  }
  Sleep(50);  // the last events reach the hook
  PostThreadMessageW(gHookThread.load(), WM_QUIT, 0, 0);
  hookThread.join();
  gHookThread.store(0);

  if (gStamps.size() != static_cast<std::size_t>(kLines)) {
    ++sample.incompleteRuns;
    return;
  }
  double scripted = 0;
  for (std::size_t i = 0; i + 1 < gStamps.size() && i < pauses.size(); ++i) {
    const double actual = static_cast<double>(gStamps[i + 1] - gStamps[i]) / countsPerMs();
    sample.gapErrors.push_back(std::fabs(actual - pauses[i]));
    scripted += pauses[i];
  }
  sample.drifts.push_back(static_cast<double>(gStamps.back() - gStamps.front()) / countsPerMs() - scripted);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"TamsikPauseBench";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"tamsik pause bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 480, 360, nullptr, nullptr, instance, nullptr);
  HWND target = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 440, 24,
                                window, nullptr, instance, nullptr);
  HWND scriptEdit = createScriptEdit(window, 100, 10, 44, 440, 260);
  if (window == nullptr || target == nullptr || scriptEdit == nullptr) {
    std::fprintf(stderr, "could not create the windows\n");
    return 1;
  }
  SetForegroundWindow(window);
  SetFocus(target);
  for (int i = 0; i < 100 && !(GetForegroundWindow() == window && GetFocus() == target); ++i) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  // The keys are letters: they must not type into some other program.
  if (GetForegroundWindow() != window || GetFocus() != target) {
    std::fprintf(stderr, "the benchmark window did not get the focus\n");
    return 1;
  }

  // pauses[i] is the pause between the event of line i and the next.
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<int> gap(1, 50);
  std::vector<int> pauses(kLines - 1);
  for (int& pause : pauses) pause = gap(random);
  std::wstring script;
  std::int64_t stamp = 1000;
  for (int line = 0; line < kLines; ++line) {
    if (line > 0) stamp += pauses[static_cast<std::size_t>(line - 1)];
    const int key = 'A' + (line / 2) % 26;
    script += std::to_wstring(stamp) + (line % 2 == 0 ? L" 0 " : L" 2 ") + std::to_wstring(key) + L" 0 0\r\n";
  }

  // The player reads what the window thread publishes of the edit control.
  Win32WindowThread windowThread;
  EditScriptBox editBox(scriptEdit);
  PublishedScript published(editBox, windowThread);
  Win32WaiterFactory precise;
  SleepWaiterFactory plain;
  const bool highResolution = Win32Waiter().hasHighResolutionTimer();
  struct Row {
    const char* waiter;
    const char* box;
    WaiterFactory& waiters;
    Sample sample;
  };
  std::vector<Row> rows{{"Win32Waiter", "edit", precise, {}}, {"Sleep(ms)", "edit", plain, {}}};
  // Rounds taken in turns, so that a passing load on the machine falls on
  // every row alike.
  for (int round = 0; round < rounds; ++round) {
    for (Row& row : rows) {
      SetWindowTextW(target, L"");
      play(script, pauses, published, editBox, row.waiters, row.sample);
    }
  }

  std::printf("pause accuracy: %d key lines, pauses 1..50 ms (seed %u), %d round(s); |actual gap - scripted gap|\n",
              kLines, kSeed, rounds);
  std::printf("  high-resolution waitable timer: %s\n", highResolution ? "yes" : "no (timeBeginPeriod(1))");
  std::printf("  %-12s %-10s %5s %10s %10s %10s %10s %11s %13s\n", "waiter", "box", "gaps", "median ms", "p90 ms",
              "p99 ms", "worst ms", "player cpu", "worst drift");
  for (const Row& row : rows) {
    const std::vector<double>& errors = row.sample.gapErrors;
    double drift = 0;
    for (double d : row.sample.drifts) drift = std::fabs(d) > std::fabs(drift) ? d : drift;
    std::printf("  %-12s %-10s %5zu %10.3f %10.3f %10.3f %10.3f %10.1f%% %10.2f ms\n", row.waiter, row.box,
                errors.size(), percentile(errors, 0.5), percentile(errors, 0.9), percentile(errors, 0.99),
                percentile(errors, 1.0), row.sample.wallMs > 0 ? 100.0 * row.sample.cpuMs / row.sample.wallMs : 0.0,
                drift);
  }
  auto ratio = [](double part, double whole) { return whole > 0 ? part / whole : 0.0; };
  for (std::size_t i = 0; i + 1 < rows.size(); i += 2) {
    const std::vector<double>& own = rows[i].sample.gapErrors;
    const std::vector<double>& sleep = rows[i + 1].sample.gapErrors;
    std::printf("  Win32Waiter / Sleep error, %s box: median %.2f, p99 %.2f\n", rows[i].box,
                ratio(percentile(own, 0.5), percentile(sleep, 0.5)),
                ratio(percentile(own, 0.99), percentile(sleep, 0.99)));
  }
  std::printf("  targets: median <= 0.5 ms, p99 <= 2 ms, at most 0.2 of Sleep's error\n");
  const bool complete = std::all_of(rows.begin(), rows.end(), [](const Row& row) { return row.sample.incompleteRuns == 0; });
  if (!complete) std::printf("  some events did not reach the hook\n");

  // What the player's look for a hung window in front costs before each
  // action, beside what the action itself (one key) costs.
  auto microsecondsEach = [](int calls, const auto& call) {
    const std::int64_t start = counter();
    for (int i = 0; i < calls; ++i) call(i);
    return static_cast<double>(counter() - start) / countsPerMs() * 1000 / calls;
  };
  Win32WindowSystem windows;
  Win32InputInjector keys;
  keys.warmUp();
  const double look = microsecondsEach(2000, [&](int) { return windows.isHung(windows.foregroundWindow()); });
  const double key = microsecondsEach(400, [&](int i) { keys.injectKeyEvent(0x87, i % 2 ? 2 : 0, std::nullopt); });
  double meanGapMs = 0;
  for (int pause : pauses) meanGapMs += pause;
  meanGapMs /= static_cast<double>(pauses.size());
  const double lookedEvery = static_cast<double>(ScriptPlayer::kHungLookUs) / 1000;
  std::printf("  hung-window look: %.1f us, a key injection %.1f us (%.0f%% of it); looking at most every %.0f ms,\n"
              "    %.1f us per action at this script's mean gap of %.1f ms\n",
              look, key, 100 * ratio(look, key), lookedEvery, look * std::min(1.0, meanGapMs / lookedEvery),
              meanGapMs);

  DestroyWindow(window);
  return complete ? 0 : 1;
}
