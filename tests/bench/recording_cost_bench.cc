// What tamsik.exe costs while the user moves the mouse, idle and recording,
// against a bare low-level mouse hook in another process that sees the same
// xdotool moves over a Wine notepad (one every 6 to 8 ms) and only writes each
// to a file. Both are CPU times of their processes (GetProcessTimes), taken in
// the same run. While recording, a thread of this process times how long
// tamsik.exe's window takes to answer a message; the cost of a recorded line
// is compared at the start and at the end of a long recording, whose middle
// is filled with key lines, which no sensitivity throttles. Beside it, the
// system's edit control alone in this process is given the same lines in as
// many appends, so that the control's own share of that cost shows.
//   tamsik_recording_bench PATH\TO\tamsik.exe [FILLER_KEY_TAPS] [shown]
// With "shown", 选择框3 is unchecked, so that the window stays up while
// recording and its box is painted; otherwise it minimises, as it starts.
// The same program started as "tamsik_recording_bench --bare-hook LOG" is the
// bare hook.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "platform/win32/edit_script_box.h"
#include "support/linux_proc.h"
#include "support/notepad.h"
#include "support/stopwatch.h"
#include "support/tamsik_window.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kBareReady[] = L"tamsik-bench-bare-hook-ready";
constexpr wchar_t kBareQuit[] = L"tamsik-bench-bare-hook-quit";
constexpr int kMovesPerSegment = 600;

std::wstring gTamsikPath;
HANDLE gBareLog = INVALID_HANDLE_VALUE;

LRESULT CALLBACK bareMouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%lu %u %ld %ld\n", info.time,
                                     static_cast<unsigned>(wParam), info.pt.x, info.pt.y);
    DWORD written = 0;
    WriteFile(gBareLog, line, static_cast<DWORD>(length), &written, nullptr);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int runBareHook(const wchar_t* logPath) {
  gBareLog = CreateFileW(logPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  MSG message;
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // a hook's thread needs its queue first
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, bareMouseProc, GetModuleHandleW(nullptr), 0);
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kBareReady);
  HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, kBareQuit);
  if (!hook || gBareLog == INVALID_HANDLE_VALUE || !ready || !quit) return 1;
  SetEvent(ready);
  for (;;) {
    if (MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  UnhookWindowsHookEx(hook);
  CloseHandle(gBareLog);
  return 0;
}

// The bare hook, another copy of this program.
class BareHook {
 public:
  explicit BareHook(const std::wstring& logPath) : logPath_(logPath) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, kBareReady);
    quit_ = CreateEventW(nullptr, TRUE, FALSE, kBareQuit);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --bare-hook \"" + logPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      CloseHandle(info.hThread);
      process = info.hProcess;
    }
    started = process && WaitForSingleObject(ready_, 10000) == WAIT_OBJECT_0;
  }
  ~BareHook() {
    SetEvent(quit_);
    if (process) {
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
    CloseHandle(ready_);
    CloseHandle(quit_);
    DeleteFileW(logPath_.c_str());
  }
  // Mouse events logged so far.
  long events() const {
    std::ifstream in{std::filesystem::path(logPath_)};
    return static_cast<long>(std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
  }

  HANDLE process = nullptr;
  bool started = false;

 private:
  std::wstring logPath_;
  HANDLE ready_;
  HANDLE quit_;
};

// xdotool run from a shell script, since the argument lists are long.
int runXdotool(const std::string& arguments, std::chrono::milliseconds timeout) {
  static int count = 0;
  const std::string path = "/tmp/tamsik-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) + ".sh";
  {
    std::ofstream script("Z:" + path, std::ios::binary);
    script << "exec xdotool " << arguments << "\n";
  }
  const int code = LinuxCommand(L"sh " + std::wstring(path.begin(), path.end())).wait(timeout);
  DeleteFileA(("Z:" + path).c_str());
  return code;
}

// Moves to ever new points over the notepad's edit area, one every 7 ms.
std::string moves(POINT at, int count, int first) {
  std::string chain;
  for (int i = first; i < first + count; ++i) {
    chain += "mousemove " + std::to_string(at.x + i % 50) + " " + std::to_string(at.y + (i / 50) % 20 * 3) +
             " sleep 0.007 ";
  }
  return chain;
}

struct Cpu {
  double tamsik = 0, bare = 0;
  long bareEvents = 0;
};

class Meter {
 public:
  Meter(std::wstring tamsik, std::wstring bare, BareHook& bareHook)
      : tamsik_(std::move(tamsik)), bare_(std::move(bare)), bareHook_(bareHook) {}
  Cpu now() const { return {cpuMs(tamsik_), cpuMs(bare_), bareHook_.events()}; }
  static Cpu between(const Cpu& a, const Cpu& b) {
    return {b.tamsik - a.tamsik, b.bare - a.bare, b.bareEvents - a.bareEvents};
  }

 private:
  std::wstring tamsik_;
  std::wstring bare_;
  BareHook& bareHook_;
};

void printRatio(const char* what, const Cpu& cpu, double target) {
  const double ratio = cpu.bare > 0 ? cpu.tamsik / cpu.bare : 0;
  std::printf("  %-44s tamsik %8.0f ms  bare hook %7.0f ms  (%ld events)  ratio %5.2fx  target <= %.1fx%s\n", what,
              cpu.tamsik, cpu.bare, cpu.bareEvents, ratio, target, ratio <= target ? "" : "  MISSED");
}

// Times round trips of a message to the window from a thread of its own.
class Pinger {
 public:
  explicit Pinger(HWND window) : thread_([this, window] {
      while (!stop_.load()) {
        const double asked = nowMs();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        const double took = nowMs() - asked;
        if (took > slowest_.load()) {
          slowest_.store(took);
          slowestIn_.store(phase.load());
        }
        ++count_;
        Sleep(20);
      }
    }) {}
  ~Pinger() { stopNow(); }
  void stopNow() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
  }
  double slowest() const { return slowest_.load(); }
  // What the bench was doing then: a segment of moves, or -1 for the filler.
  int slowestIn() const { return slowestIn_.load(); }
  std::atomic<int> phase{0};
  int count() const { return count_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> slowest_{0};
  std::atomic<int> count_{0};
  std::atomic<int> slowestIn_{0};
  std::thread thread_;
};

// The system's edit control alone, as tamsik.exe makes it (its manifest's
// common controls, the box's styles, size and font), in a window of this
// process that is shown or minimised as tamsik.exe's was.
class BareControl {
 public:
  BareControl(HWND box, bool shown) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = gTamsikPath.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE activation = CreateActCtxW(&context);
    ULONG_PTR cookie = 0;
    const bool active = activation != INVALID_HANDLE_VALUE && ActivateActCtx(activation, &cookie);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    RECT rect;
    GetWindowRect(box, &rect);
    frame_ = CreateWindowExW(0, L"STATIC", L"bare edit control", WS_OVERLAPPEDWINDOW, 0, 0,
                             rect.right - rect.left + 40, rect.bottom - rect.top + 60, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    edit_ = createScriptEdit(frame_, 100, 10, 10, rect.right - rect.left, rect.bottom - rect.top);
    if (active) DeactivateActCtx(0, cookie);
    if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ShowWindow(frame_, shown ? SW_SHOWNOACTIVATE : SW_SHOWMINNOACTIVE);
  }
  ~BareControl() {
    DestroyWindow(frame_);
    DeleteObject(font_);
  }
  bool made() const { return edit_ != nullptr; }

  // Appends the lines in so many batches, each painted, to a box that holds
  // `before`, at the recorder's pace of one per 100 ms. Counts this thread's
  // CPU ms in the appends and paintings only: each count is in whole ticks of
  // 10 ms, but starts at a random point of one, so their sum is fair. Also
  // the mean elapsed time of one painting.
  struct Cost {
    double cpuMs;
    double paintMs;
  };
  Cost append(const std::wstring& before, const std::vector<std::wstring>& lines, int batches) {
    SetWindowTextW(edit_, before.c_str());
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
    SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
    pump();
    double spent = 0, painting = 0;
    for (int batch = 0; batch < batches; ++batch) {
      std::wstring text;
      for (std::size_t i = lines.size() * batch / batches; i < lines.size() * (batch + 1) / batches; ++i) text += lines[i];
      Sleep(100);
      const double start = cpuMs(L"Z:\\proc\\thread-self");
      SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
      const double paintStart = nowMs();
      pump();
      painting += nowMs() - paintStart;
      spent += cpuMs(L"Z:\\proc\\thread-self") - start;
    }
    return {spent, painting / batches};
  }

 private:
  void pump() {
    pumpPending();
    UpdateWindow(frame_);
  }

  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;
};

// The box's text, as lines with their CR LF.
std::vector<std::wstring> boxLines(HWND box) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  std::vector<std::wstring> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find(L"\r\n", at);
    end = end == std::wstring::npos ? text.size() : end + 2;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

int bench(int fillerTaps, bool shown) {
  Notepad notepad(560, 100);
  TamsikWindow tamsik(gTamsikPath);
  if (!tamsik.window() || !notepad.window) {
    std::fprintf(stderr, "no tamsik window or no notepad\n");
    return 1;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring logName = L"tamsik-bench-bare-" + std::to_wstring(GetCurrentProcessId()) + L".log";
  BareHook bare(std::wstring(temp) + logName);
  if (!bare.started) {
    std::fprintf(stderr, "the bare hook did not start\n");
    return 1;
  }
  const std::wstring tamsikProc = procOfProgram(gTamsikPath, "tamsik_recording_bench");
  const std::wstring bareProc = procOf(narrow(logName));
  if (tamsikProc.empty() || bareProc.empty()) {
    std::fprintf(stderr, "the processes are not found in /proc\n");
    return 1;
  }
  if (shown) tamsik.setChecked(control_id::选择框3, false);
  SendMessageW(tamsik.control(control_id::编辑框1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"5"));
  HWND box = tamsik.control(control_id::脚本框);
  tamsik.setScript(L"placeholder");
  if (!notepad.focus()) {
    std::fprintf(stderr, "the notepad cannot be focused\n");
    return 1;
  }
  const POINT at = notepad.pointInEdit(40, 40);
  Meter meter(tamsikProc, bareProc, bare);
  pumpFor(1000ms);  // first calls and start-up work out of the way

  std::printf("tamsik.exe against a bare low-level mouse hook in another process, the same xdotool moves over a "
              "notepad, one every 7 ms (CPU time of each process); the window %s while recording\n",
              shown ? "shown" : "minimised");
  Cpu before = meter.now();
  if (runXdotool(moves(at, kMovesPerSegment, 0), 60s) != 0) return 1;
  pumpFor(300ms);
  printRatio("idle, 600 moves", Meter::between(before, meter.now()), 1.5);

  // A recording: ScrollLock with the pointer over the notepad.
  if (runXdotool("key Scroll_Lock", 10s) != 0 ||
      !pumpUntil([&] { return SendMessageW(box, WM_GETTEXTLENGTH, 0, 0) == 0; }, 5s)) {
    std::fprintf(stderr, "the recording did not start\n");
    return 1;
  }
  Pinger pinger(tamsik.window());
  constexpr int kSegments = 6;
  Cpu segments[kSegments + 1];
  Cpu recording{};
  // Half the segments at the start of the recording, half at its end.
  constexpr int kEnd = kSegments / 2;
  long linesAtStart = 0, linesBeforeFilling = 0, linesAtEnd = 0, linesAfterEnd = 0;
  double segmentMs[kSegments] = {};
  for (int segment = 0; segment < kSegments; ++segment) {
    if (segment == kEnd && fillerTaps > 0) {
      // Key lines, unthrottled, to make the recording long before its end.
      pinger.phase.store(-1);
      std::string taps = "key --delay 0";
      for (int i = 0; i < fillerTaps; ++i) taps += " shift";
      if (runXdotool(taps, 600s) != 0) return 1;
      // The keys may still be on their way through tamsik.exe: the end
      // begins once it is quiet.
      for (int i = 0; i < 120; ++i) {
        const double before = meter.now().tamsik;
        pumpFor(500ms);
        if (meter.now().tamsik - before <= 30) break;
      }
    }
    if (segment == kEnd) linesAtEnd = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
    pinger.phase.store(segment);
    const Cpu start = meter.now();
    const double startMs = nowMs();
    if (runXdotool(moves(at, kMovesPerSegment, segment * kMovesPerSegment), 60s) != 0) return 1;
    segmentMs[segment] = nowMs() - startMs;
    pumpFor(200ms);
    segments[segment] = Meter::between(start, meter.now());
    recording.tamsik += segments[segment].tamsik;
    recording.bare += segments[segment].bare;
    recording.bareEvents += segments[segment].bareEvents;
    if (segment == 0) linesAtStart = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
    if (segment == kEnd - 1) linesBeforeFilling = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
    if (segment == kEnd) linesAfterEnd = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
  }
  pinger.stopNow();
  const std::vector<std::wstring> recorded = boxLines(box);
  if (runXdotool("key Scroll_Lock", 10s) != 0) return 1;
  tamsik.waitForRecordingSummary(60s);
  const long lines = static_cast<long>(SendMessageW(box, EM_GETLINECOUNT, 0, 0)) - 1;

  char what[80];
  std::snprintf(what, sizeof what, "recording, sensitivity 5, %d x 600 moves", kSegments);
  printRatio(what, recording, 4.0);
  std::printf("  the window's slowest answer during the recording: %.1f ms (%d messages timed, the slowest %s)  "
              "target <= 100 ms%s\n", pinger.slowest(), pinger.count(),
              pinger.slowestIn() < 0 ? "while filling" : ("in moves " + std::to_string(pinger.slowestIn() + 1)).c_str(),
              pinger.slowest() <= 100 ? "" : "  MISSED");
  // The median of each half: one segment can be slowed by anything else the
  // machine does.
  auto median = [&](int from) {
    double three[] = {segments[from].tamsik, segments[from + 1].tamsik, segments[from + 2].tamsik};
    std::sort(std::begin(three), std::end(three));
    return three[1];
  };
  static_assert(kSegments == 6);
  const double first = median(0), last = median(kEnd);
  std::printf("  a recorded line's cost, the median of 3 x 600 moves: tamsik %.0f ms per 600 moves at the start (box "
              "1 to %ld lines), %.0f ms at the end (box from %ld lines); end/start %.2f  target <= 1 (within noise)\n",
              first, linesBeforeFilling, last, linesAtEnd, first > 0 ? last / first : 0);
  // The same lines appended to the system's edit control alone, in as many
  // batches as the recorder makes of them in that time (one per 100 ms): how
  // much of the line's cost, and of its growth, is the control's own.
  BareControl control(box, shown);
  const auto firstLines = static_cast<std::size_t>(std::max(0L, linesAtStart - 1));
  const auto lastFrom = static_cast<std::size_t>(std::max(0L, linesAtEnd - 1));
  const auto lastTo = static_cast<std::size_t>(std::max(0L, linesAfterEnd - 1));
  if (control.made() && firstLines <= recorded.size() && lastFrom <= lastTo && lastTo <= recorded.size()) {
    auto batchesIn = [](double ms) { return std::max(1, static_cast<int>(ms / 100 + 0.5)); };
    const std::vector<std::wstring> startLines(recorded.begin(), recorded.begin() + firstLines);
    const std::vector<std::wstring> endLines(recorded.begin() + lastFrom, recorded.begin() + lastTo);
    std::wstring before;
    for (std::size_t i = 0; i < lastFrom; ++i) before += recorded[i];
    const BareControl::Cost alone[] = {control.append(L"", startLines, batchesIn(segmentMs[0])),
                                       control.append(before, endLines, batchesIn(segmentMs[kEnd]))};
    std::printf("  the system's edit control alone, the lines of the first 600 moves of each half in as many appends "
                "(%d, %d), 100 ms apart, each painted: %.0f ms at the start, %.0f ms at the end; end/start %.2f\n",
                batchesIn(segmentMs[0]), batchesIn(segmentMs[kEnd]), alone[0].cpuMs, alone[1].cpuMs,
                alone[0].cpuMs > 0 ? alone[1].cpuMs / alone[0].cpuMs : 0);
    if (shown) {
      std::printf("  one painting of the control, as it scrolls the new lines in: %.1f ms at the start, %.1f ms at the "
                  "end\n", alone[0].paintMs, alone[1].paintMs);
    }
    std::printf("  tamsik less the control: %.0f ms at the start, %.0f ms at the end\n",
                segments[0].tamsik - alone[0].cpuMs, segments[kEnd].tamsik - alone[1].cpuMs);
  } else {
    std::printf("  the system's edit control alone: not measured (no control, or the box's lines were not read)\n");
  }
  std::printf("  per segment, tamsik/bare ms (bare hook's events):");
  for (int i = 0; i < kSegments; ++i) {
    std::printf(" %.0f/%.0f (%ld)", segments[i].tamsik, segments[i].bare, segments[i].bareEvents);
  }
  std::printf("\n  lines recorded: %ld\n", lines);
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 3 && std::wstring(argv[1]) == L"--bare-hook") return runBareHook(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tamsik_recording_bench PATH\\TO\\tamsik.exe [FILLER_KEY_TAPS]\n");
    return 2;
  }
  gTamsikPath = argv[1];
  const int fillerTaps = argc > 2 ? _wtoi(argv[2]) : 20000;
  const bool shown = argc > 3 && std::wstring(argv[3]) == L"shown";
  const int result = bench(fillerTaps, shown);
  std::fflush(stdout);
  return result;
}
