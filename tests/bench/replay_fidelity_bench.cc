// Replay fidelity as the user gets it: xdotool plays a seeded, human-like
// sequence into a Wine notepad (typing with random holds and gaps, mouse paths,
// two clicks) while tamsik.exe records it; then tamsik.exe replays it. An
// independent low-level hook in this process logs both, and the replay's
// gaps between neighbouring key and button events are compared with the
// original's. Rounds of typing alone follow, whose scripts begin with a key,
// as a recording of typing does: there the first gap of a run is told apart
// from the later ones. Every wait has a bound and names what it waited for.
//   tamsik_fidelity_bench.exe PATH\TO\tamsik.exe [SEED] [ROUNDS] [TYPING_ROUNDS]

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/input_log.h"
#include "support/notepad.h"
#include "support/stopwatch.h"
#include "support/script_lines.h"
#include "support/tamsik_window.h"
#include "support/wine_desktop.h"

using namespace std::chrono_literals;

namespace {

std::wstring gTamsikPath;

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::min(std::max<std::size_t>(rank, 1), values.size()) - 1];
}

std::wstring seconds(int ms) {
  wchar_t text[32];
  swprintf(text, 32, L"%d.%03d", ms / 1000, ms % 1000);
  return text;
}

// The xdotool command chain of one human-like sequence over the notepad's
// edit area, about six seconds long; typing alone, about two seconds.
std::wstring humanSequence(const Notepad& notepad, unsigned seed, bool typingOnly) {
  std::mt19937 random(seed);
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  std::wstring chain;
  auto type = [&](const std::wstring& letters) {
    for (wchar_t letter : letters) {
      const std::wstring key(1, letter);
      chain += L" keydown " + key + L" sleep " + seconds(between(35, 90)) + L" keyup " + key + L" sleep " +
               seconds(between(40, 260));
    }
  };
  auto path = [&](int moves) {
    POINT at = notepad.pointInEdit(between(60, 400), between(40, 280));
    for (int i = 0; i < moves; ++i) {
      at.x += between(-9, 9);
      at.y += between(-7, 7);
      chain += L" " + mouseMove(at) + L" sleep " + seconds(between(14, 30));
    }
  };
  auto click = [&] {
    chain += L" sleep " + seconds(between(60, 160)) + L" mousedown 1 sleep " + seconds(between(50, 110)) +
             L" mouseup 1 sleep " + seconds(between(80, 200));
  };
  if (typingOnly) {
    type(L"firstgap");
    return chain;
  }
  type(L"replay");
  path(30);
  click();
  type(L"tamsik");
  path(30);
  click();
  type(L"done");
  return chain;
}

struct Figures {
  std::vector<double> gapErrors;
  // Of the rounds whose script begins with a key: the error of the gap after
  // a run's first action, and of the gaps after.
  std::vector<double> firstGapErrors;
  std::vector<double> laterGapErrors;
  std::vector<double> drifts;
  int movesRecorded = 0;
  int movesReplayed = 0;
  int rounds = 0;
  int sameText = 0;
  int sameEvents = 0;
};

bool isKeyOrButton(const LoggedEvent& event) {
  if (!event.mouse) return event.vk != VK_SCROLL && event.vk != VK_F12;
  return event.message != WM_MOUSEMOVE;
}

std::string describe(const LoggedEvent& event) {
  return event.mouse ? "mouse " + std::to_string(event.message)
                     : "key " + std::to_string(event.vk) + (event.keyUp() ? " up" : " down");
}

// The points of the script's move lines, in order.
std::vector<POINT> movePoints(const std::wstring& script) {
  std::vector<POINT> points;
  for (const ScriptLine& line : parseScript(script)) {
    if (line.kind == 3 && line.code == 1) points.push_back({line.x, line.y});
  }
  return points;
}

// How many of the recorded points the replay's moves reach, in their order.
int pointsReached(const std::vector<POINT>& recorded, const std::vector<LoggedEvent>& moves) {
  std::size_t next = 0;
  for (const LoggedEvent& move : moves) {
    if (next < recorded.size() && move.point.x == recorded[next].x && move.point.y == recorded[next].y) ++next;
  }
  return static_cast<int>(next);
}

// Waits while pumping; when the bound is reached, says what for.
bool waitFor(const char* what, const std::function<bool()>& done, std::chrono::milliseconds bound = 10s) {
  if (pumpUntil(done, bound)) return true;
  std::printf("  gave up after %lld s waiting for %s\n", static_cast<long long>(bound.count() / 1000), what);
  return false;
}

bool xdotoolWithin(const std::wstring& arguments, const char* what) {
  if (xdotool(arguments) == 0) return true;
  std::printf("  xdotool failed or took longer than 15 s: %s\n", what);
  return false;
}

bool isKeyLine(const std::wstring& row) {
  std::wistringstream fields(row);
  long time = 0, kind = 0;
  return static_cast<bool>(fields >> time >> kind) && kind != 3;
}

// The script without the move lines before its first key; whether it had any.
bool dropLeadingMoves(std::wstring& script) {
  std::size_t at = 0;
  while (at < script.size()) {
    const std::size_t end = script.find(L"\r\n", at);
    if (end == std::wstring::npos || isKeyLine(script.substr(at, end - at))) break;
    at = end + 2;
  }
  script.erase(0, at);
  return at > 0;
}

// One recording and its replay; false when the round could not be made.
bool round(unsigned seed, bool typingOnly, Figures& figures) {
  Notepad notepad;
  TamsikWindow tamsik(gTamsikPath);
  const HWND window = tamsik.window();
  if (!notepad.window || !window) {
    std::printf("  no notepad or no tamsik window within 20 s\n");
    return false;
  }
  if (!notepad.focus()) {
    std::printf("  notepad did not get the focus within its bounds\n");
    return false;
  }
  InputLog log;
  if (!log.ready()) {
    std::printf("  the input log's hooks are not in place\n");
    return false;
  }
  const std::wstring chain = humanSequence(notepad, seed, typingOnly);

  if (!xdotoolWithin(L"key Scroll_Lock", "ScrollLock to start the recording")) return false;
  if (!waitFor("the window to minimise as the recording starts", [&] { return IsIconic(window) != FALSE; })) {
    return false;
  }
  pumpFor(300ms);
  const std::size_t originalStart = log.size();
  if (LinuxCommand(L"timeout 60 xdotool" + chain).wait(70s) != 0) {
    std::printf("  xdotool's sequence failed or took longer than 70 s\n");
    return false;
  }
  pumpFor(300ms);
  const std::size_t originalEnd = log.size();
  if (!xdotoolWithin(L"key Scroll_Lock", "ScrollLock to end the recording")) return false;
  if (!waitFor("the recording's summary", [&] { return tamsik.status().starts_with(L"共"); })) {
    return false;
  }
  const std::vector<LoggedEvent> all = log.events();
  std::vector<LoggedEvent> original;
  for (std::size_t i = originalStart; i < originalEnd; ++i) {
    if (isKeyOrButton(all[i])) original.push_back(all[i]);
  }
  std::wstring script = tamsik.script();
  const std::wstring originalText = notepad.text();
  if (typingOnly && dropLeadingMoves(script)) {
    // Moves that came with the focus, before the first key.
    std::printf("  round %d: the recording began with moves; played from its first key\n", figures.rounds + 1);
    tamsik.setScript(script);
  }
  const bool beginsWithKey = isKeyLine(script.substr(0, script.find(L"\r\n")));

  notepad.clear();
  log.clear();
  if (!xdotoolWithin(L"key F12", "F12 to start the run")) return false;
  std::vector<LoggedEvent> replay, moves;
  waitFor("the replay's key and button events",
          [&] {
            replay.clear();
            for (const LoggedEvent& event : log.events()) {
              if (event.injected() && isKeyOrButton(event)) replay.push_back(event);
            }
            return replay.size() >= original.size();
          },
          60s);
  pumpFor(1s);
  replay.clear();
  for (const LoggedEvent& event : log.events()) {
    if (event.injected() && isKeyOrButton(event)) replay.push_back(event);
    if (event.isMove()) moves.push_back(event);
  }

  ++figures.rounds;
  const std::vector<POINT> recordedMoves = movePoints(script);
  const int reached = pointsReached(recordedMoves, moves);
  figures.movesRecorded += static_cast<int>(recordedMoves.size());
  figures.movesReplayed += reached;
  if (notepad.text() == originalText && !originalText.empty()) ++figures.sameText;
  bool same = replay.size() == original.size();
  for (std::size_t i = 0; same && i < replay.size(); ++i) same = describe(replay[i]) == describe(original[i]);
  if (!same) {
    std::printf("  round %d: the replay's %zu key and button events differ from the original's %zu\n", figures.rounds,
                replay.size(), original.size());
    return true;
  }
  ++figures.sameEvents;
  for (std::size_t i = 1; i < replay.size(); ++i) {
    const double want = original[i].atMs - original[i - 1].atMs;
    const double got = replay[i].atMs - replay[i - 1].atMs;
    figures.gapErrors.push_back(std::fabs(got - want));
    if (beginsWithKey) (i == 1 ? figures.firstGapErrors : figures.laterGapErrors).push_back(got - want);
  }
  figures.drifts.push_back((replay.back().atMs - replay.front().atMs) -
                           (original.back().atMs - original.front().atMs));
  std::printf("  round %d%s: %zu key and button events over %.0f ms, drift %+.2f ms, %d of %zu recorded moves "
              "replayed", figures.rounds, typingOnly ? " (typing)" : "", original.size(),
              original.back().atMs - original.front().atMs, figures.drifts.back(), reached, recordedMoves.size());
  if (beginsWithKey) std::printf(", first gap %+.2f ms", figures.firstGapErrors.back());
  std::printf("\n");
  return true;
}

// From a second thread, the time from SendInput of one key to the hook.
std::vector<double> injectionLatencies(int samples) {
  std::vector<double> latencies;
  InputLog log;
  if (!log.ready()) return latencies;
  for (int i = 0; i < samples; ++i) {
    log.clear();
    double sentAt = 0;
    std::thread sender([&] {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = VK_F24;
      sentAt = nowMs();
      SendInput(1, &input, sizeof input);
      input.ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(1, &input, sizeof input);
    });
    sender.join();
    if (!waitFor("an injected key to reach the hook", [&] { return log.size() >= 2; }, 2s)) continue;
    std::vector<LoggedEvent> events = log.events();
    if (!events.empty()) latencies.push_back(events.front().atMs - sentAt);
    pumpFor(20ms);
  }
  return latencies;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tamsik_fidelity_bench PATH\\TO\\tamsik.exe [SEED] [ROUNDS] [TYPING_ROUNDS]\n");
    return 2;
  }
  gTamsikPath = argv[1];
  const unsigned seed = argc > 2 ? static_cast<unsigned>(_wtoi(argv[2])) : 7;
  const int rounds = argc > 3 ? std::max(0, _wtoi(argv[3])) : 3;
  const int typingRounds = argc > 4 ? std::max(0, _wtoi(argv[4])) : 5;
  // Each line as it comes, also into a pipe: a bench that stops must have
  // said how far it got.
  std::setvbuf(stdout, nullptr, _IONBF, 0);

  std::printf("replay fidelity: xdotool's human-like input (seed %u, a new sequence each round), recorded and replayed "
              "by tamsik.exe, timed by an independent hook\n", seed);
  Figures figures;
  for (int i = 0; i < rounds + typingRounds; ++i) {
    if (!round(seed + static_cast<unsigned>(i), i >= rounds, figures)) {
      std::printf("  round %d could not be made\n", i + 1);
      return 1;
    }
  }
  double worstDrift = 0;
  for (double drift : figures.drifts) worstDrift = std::fabs(drift) > std::fabs(worstDrift) ? drift : worstDrift;
  std::printf("  gap error between neighbouring key and button events (%zu gaps): median %.3f ms, p90 %.3f ms, "
              "max %.3f ms\n", figures.gapErrors.size(), percentile(figures.gapErrors, 0.5),
              percentile(figures.gapErrors, 0.9), percentile(figures.gapErrors, 1.0));
  auto worst = [](const std::vector<double>& errors) {
    double result = 0;
    for (double error : errors) result = std::fabs(error) > std::fabs(result) ? error : result;
    return result;
  };
  auto magnitudes = [](std::vector<double> errors) {
    for (double& error : errors) error = std::fabs(error);
    return errors;
  };
  std::printf("  first gap of a run, in rounds whose script begins with a key (%zu): error median %.3f ms, worst "
              "%+.3f ms; later gaps (%zu): median %.3f ms, worst %+.3f ms\n", figures.firstGapErrors.size(),
              percentile(magnitudes(figures.firstGapErrors), 0.5), worst(figures.firstGapErrors),
              figures.laterGapErrors.size(), percentile(magnitudes(figures.laterGapErrors), 0.5),
              worst(figures.laterGapErrors));
  std::printf("  drift over the sequence: worst %+.2f ms\n", worstDrift);
  std::printf("  moves replayed: %d of %d recorded\n", figures.movesReplayed, figures.movesRecorded);
  std::printf("  same key and button events: %d of %d rounds; same notepad text: %d of %d rounds\n",
              figures.sameEvents, figures.rounds, figures.sameText, figures.rounds);
  const std::vector<double> latencies = injectionLatencies(50);
  std::printf("  floor: SendInput of one key to a low-level hook (%zu keys): median %.3f ms, p90 %.3f ms, max %.3f ms\n",
              latencies.size(), percentile(latencies, 0.5), percentile(latencies, 0.9), percentile(latencies, 1.0));
  std::printf("  targets: median <= 1 ms, p90 <= 3 ms, the first gap within 1 ms like the others, drift within 5 ms, "
              "every move replayed, the same text\n");
  return 0;
}
