// Whether tamsik.exe's resident memory grows while a loop replays mouse moves.
// tamsik.exe plays, looped, a script of 100 moves 20 ms apart, and beside it,
// in the same run, a script of 100 key presses and releases (F13, which no
// window acts on) as the baseline. Its resident memory (VmRSS of the Linux
// process) is sampled every 5 s; after a warm-up the slope of each phase is
// fitted by least squares and extrapolated to 30 minutes. A hook in this
// process counts what each phase played, so that a loop that stopped shows.
//   tamsik_memory_bench PATH\TO\tamsik.exe [MINUTES_PER_PHASE] [WARMUP_SECONDS]

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "support/input_log.h"
#include "support/linux_proc.h"
#include "support/notepad.h"
#include "support/stopwatch.h"
#include "support/tamsik_window.h"
#include "support/wine_desktop.h"

using namespace std::chrono_literals;

namespace {

constexpr int kLines = 100;
constexpr int kGapMs = 20;
constexpr DWORD kSampleMs = 5000;

struct Sample {
  double seconds;
  long kb;
};

// kB per minute, by least squares over the samples taken after the warm-up.
double slopeKbPerMinute(const std::vector<Sample>& samples, double warmUpSeconds) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (const Sample& sample : samples) {
    if (sample.seconds < warmUpSeconds || sample.kb < 0) continue;
    const double x = sample.seconds / 60;
    n += 1;
    sx += x;
    sy += static_cast<double>(sample.kb);
    sxx += x * x;
    sxy += x * static_cast<double>(sample.kb);
  }
  const double spread = n * sxx - sx * sx;
  return n >= 3 && spread > 0 ? (n * sxy - sx * sy) / spread : 0;
}

void printPhase(const char* what, const std::vector<Sample>& samples, double warmUpSeconds) {
  if (samples.empty()) return;
  const double slope = slopeKbPerMinute(samples, warmUpSeconds);
  std::printf("  %-36s %6ld kB at the start, %6ld kB at the end; after %.0f s: %+8.1f kB/min, %+8.0f kB in 30 min  "
              "target <= 1024 kB%s\n", what, samples.front().kb, samples.back().kb, warmUpSeconds, slope, slope * 30,
              slope * 30 <= 1024 ? "" : "  MISSED");
}

// Samples the process's memory every kSampleMs for the time, pumping; counts
// the injected events and the moves that the log sees meanwhile.
std::vector<Sample> sampleFor(const std::wstring& proc, int seconds, InputLog& log, long& injected, long& moves) {
  std::vector<Sample> samples;
  const double start = nowMs();
  for (;;) {
    const double at = (nowMs() - start) / 1000;
    samples.push_back({at, residentKb(proc)});
    for (const LoggedEvent& event : log.events()) {
      injected += event.injected() ? 1 : 0;
      moves += event.isMove() ? 1 : 0;
    }
    log.clear();
    if (at >= seconds) return samples;
    pumpFor(std::chrono::milliseconds(kSampleMs));
  }
}

// The moves sweep a band of the screen, over the notepad and off it, one
// pass a little lower than the one before.
std::wstring moveLoop(POINT from) {
  std::wstring script;
  for (int i = 0; i < kLines; ++i) {
    script += std::to_wstring(1000 + i * kGapMs) + L" 3 1 " + std::to_wstring(from.x + i * 6) + L" " +
              std::to_wstring(from.y + (i % 10) * 4) + L"\r\n";
  }
  return script;
}

std::wstring keyLoop() {
  std::wstring script;
  for (int i = 0; i < kLines; ++i) {
    script += std::to_wstring(1000 + i * kGapMs) + (i % 2 == 0 ? L" 0 124 0 0\r\n" : L" 2 124 0 0\r\n");
  }
  return script;
}

int bench(const std::wstring& tamsikPath, int minutes, int warmUpSeconds) {
  Notepad notepad(560, 100);
  TamsikWindow tamsik(tamsikPath);
  if (!tamsik.window() || !notepad.window) {
    std::fprintf(stderr, "no tamsik window or no notepad\n");
    return 1;
  }
  const std::wstring proc = procOfProgram(tamsikPath, "tamsik_memory_bench");
  if (proc.empty()) {
    std::fprintf(stderr, "tamsik.exe is not found in /proc\n");
    return 1;
  }
  const POINT from = notepad.pointInEdit(-200, 60);
  std::printf("tamsik.exe's resident memory while a loop of %d lines %d ms apart plays, sampled every %lu s, "
              "%d min a phase\n", kLines, kGapMs, kSampleMs / 1000, minutes);
  struct Phase {
    const char* what;
    std::wstring script;
  };
  InputLog log;
  const Phase phases[] = {{"keys only (baseline)", keyLoop()}, {"moves", moveLoop(from)}};
  for (const Phase& phase : phases) {
    tamsik.setScript(phase.script);
    tamsik.setChecked(control_id::选择框2, true);  // F11 unchecks it
    // The hot keys act on keys that reach Wine, with the pointer over one of
    // its windows.
    if (!notepad.focus() || xdotool(L"key F12") != 0) {
      std::fprintf(stderr, "F12 could not be pressed\n");
      return 1;
    }
    long injected = 0, moves = 0;
    log.clear();
    const std::vector<Sample> samples = sampleFor(proc, minutes * 60, log, injected, moves);
    if (!notepad.focus() || xdotool(L"key F11") != 0) {
      std::fprintf(stderr, "F11 could not be pressed\n");
      return 1;
    }
    printPhase(phase.what, samples, warmUpSeconds);
    std::printf("  %-36s %ld injected events and %ld moves seen by a hook in this process\n", "", injected, moves);
    pumpFor(1s);
  }
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tamsik_memory_bench PATH\\TO\\tamsik.exe [MINUTES_PER_PHASE] [WARMUP_SECONDS]\n");
    return 2;
  }
  const int minutes = argc > 2 ? std::max(1, _wtoi(argv[2])) : 4;
  const int warmUp = argc > 3 ? std::max(0, _wtoi(argv[3])) : 60;
  return bench(argv[1], minutes, warmUp);
}
