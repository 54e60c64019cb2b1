// Recording and playback end to end: real X keys and clicks into a Wine
// notepad while tamsik.exe records, then tamsik.exe plays the script back.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "support/input_log.h"
#include "support/notepad.h"
#include "support/script_lines.h"
#include "support/stopwatch.h"
#include "support/tamsik_e2e_test.h"
#include "support/wine_desktop.h"

namespace {

using namespace std::chrono_literals;

using KeyLine = std::pair<long, long>;  // kind (0 press, 2 release), vk

// The key lines of a script.
std::vector<KeyLine> keyLines(const std::wstring& text) {
  std::vector<KeyLine> keys;
  for (const ScriptLine& line : parseScript(text)) {
    if (line.kind != 3) keys.emplace_back(line.kind, line.code);
  }
  return keys;
}

// Where two key sequences part, as a failure message says it.
std::string firstDifference(const std::vector<KeyLine>& recorded, const std::vector<KeyLine>& seen) {
  auto mismatch = std::mismatch(recorded.begin(), recorded.end(), seen.begin(), seen.end());
  if (mismatch.first == recorded.end() && mismatch.second == seen.end()) return "none";
  auto describe = [](auto at, auto end) {
    return at == end ? std::string("nothing") : std::to_string(at->second) + "/" + std::to_string(at->first);
  };
  return "at key event " + std::to_string(mismatch.first - recorded.begin()) + ": script " +
         describe(mismatch.first, recorded.end()) + ", system " + describe(mismatch.second, seen.end());
}

class RecordingE2eTest : public TamsikE2eTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TamsikE2eTest::SetUp());
    ASSERT_NE(notepad.window, nullptr) << "no notepad";
    ASSERT_NE(notepad.edit, nullptr);
    ASSERT_TRUE(notepad.focus());
  }

  Notepad notepad;
};

TEST_F(RecordingE2eTest, RecordsTypingAndAClickAndPlaysThemBack) {
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; })) << "a recording minimises the window";
  ASSERT_EQ(xdotool(L"type --delay 30 hello"), 0);
  POINT click = notepad.pointInEdit(300, 60);
  ASSERT_EQ(xdotool(mouseMove(click) + L" click 1"), 0);
  key(L"Scroll_Lock");
  ASSERT_TRUE(tamsik.waitForRecordingSummary());
  ASSERT_EQ(notepad.text(), L"hello");

  std::wstring text = tamsik.script();
  std::vector<ScriptLine> lines = parseScript(text);
  std::vector<long> clicks;
  for (const ScriptLine& line : lines) {
    if (line.kind == 3 && line.code != 1) {
      EXPECT_EQ(line.x, click.x);
      EXPECT_EQ(line.y, click.y);
      clicks.push_back(line.code);
    }
    EXPECT_TRUE((line.code != 0x91 && line.code != 0x7B && line.code != 0x7A) || line.kind == 3) << "hot key recorded";
  }
  std::vector<KeyLine> hello;
  for (long vk : {'H', 'E', 'L', 'L', 'O'}) {
    hello.emplace_back(0, vk);
    hello.emplace_back(2, vk);
  }
  EXPECT_EQ(keyLines(text), hello) << testing::PrintToString(text);
  EXPECT_EQ(clicks, (std::vector<long>{2, 4}));

  std::wstring status = tamsik.status();
  std::wstring expectedStart = L"共" + std::to_wstring(lines.size() + 1) + L"条脚本,估计执行时间需要";
  EXPECT_TRUE(status.starts_with(expectedStart) && status.ends_with(L"秒")) << testing::PrintToString(status);

  notepad.clear();
  key(L"F12");
  EXPECT_TRUE(pumpUntil([&] { return notepad.text() == L"hello"; }, 20s)) << testing::PrintToString(notepad.text());
}

// What the system saw of the wheel, the side buttons and numeric-pad Enter,
// as "wheel -120", "x-down 1", "enter extended press".
std::vector<std::string> wheelSideButtonsAndEnter(const std::vector<LoggedEvent>& events, bool injected) {
  std::vector<std::string> seen;
  for (const LoggedEvent& event : events) {
    if (event.injected() != injected) continue;
    if (event.mouse && event.message == WM_MOUSEWHEEL) seen.push_back("wheel " + std::to_string(event.highWord()));
    if (event.mouse && event.message == WM_XBUTTONDOWN) seen.push_back("x-down " + std::to_string(event.highWord()));
    if (event.mouse && event.message == WM_XBUTTONUP) seen.push_back("x-up " + std::to_string(event.highWord()));
    if (!event.mouse && event.vk == VK_RETURN) {
      seen.push_back(std::string("enter ") + (event.extended() ? "extended " : "") + (event.keyUp() ? "release" : "press"));
    }
  }
  return seen;
}

TEST_F(RecordingE2eTest, WheelSideButtonsAndNumericPadEnterReplayAsThemselves) {
  InputLog log;
  ASSERT_TRUE(log.ready());
  ASSERT_EQ(xdotool(mouseMove(notepad.pointInEdit(250, 120))), 0);
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; }));
  ASSERT_EQ(xdotool(L"click 5 sleep 0.1 click 8 sleep 0.1 click 9 sleep 0.1 key KP_Enter"), 0);
  ASSERT_TRUE(waitUntil("the numeric-pad Enter's release to reach the recording", [&] {
    const std::vector<std::string> seen = wheelSideButtonsAndEnter(log.events(), false);
    return !seen.empty() && seen.back() == "enter extended release" &&
           tamsik.script().find(L" 2 13 0 0 1\r\n") != std::wstring::npos;
  }));
  key(L"Scroll_Lock");
  ASSERT_TRUE(tamsik.waitForRecordingSummary());
  const std::vector<std::string> original = wheelSideButtonsAndEnter(log.events(), false);
  ASSERT_EQ(original, (std::vector<std::string>{"wheel -120", "x-down 1", "x-up 1", "x-down 2", "x-up 2",
                                                "enter extended press", "enter extended release"}));

  std::vector<std::wstring> withData;
  for (const ScriptLine& line : parseScript(tamsik.script())) {
    if (line.hasExtra) {
      withData.push_back(std::to_wstring(line.kind) + L" " + std::to_wstring(line.code) + L" " +
                         std::to_wstring(line.extra));
    }
  }
  EXPECT_EQ(withData, (std::vector<std::wstring>{L"3 2048 -120", L"3 128 1", L"3 256 1", L"3 128 2", L"3 256 2",
                                                 L"0 13 1", L"2 13 1"}))
      << testing::PrintToString(tamsik.script());

  log.clear();
  key(L"F12");
  EXPECT_TRUE(pumpUntil([&] { return wheelSideButtonsAndEnter(log.events(), true).size() >= original.size(); }, 10s));
  pumpFor(300ms);
  EXPECT_EQ(wheelSideButtonsAndEnter(log.events(), true), original);
}

TEST_F(RecordingE2eTest, F11StopsALoopingRunWithNoKeyLeftHeld) {
  // Shift down, a key, then a long pause: F11 comes while Shift is held.
  tamsik.setScript(L"10 0 160 0 0\r\n20 0 65 0 0\r\n30 2 65 0 0\r\n600000 2 160 0 0\r\n");
  tamsik.setChecked(control_id::选择框2, true);
  key(L"F12");
  ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 10s)) << "the run never pressed Shift";
  key(L"F11");
  EXPECT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) >= 0; }, 5s)) << "Shift is still held";
  EXPECT_FALSE(tamsik.checked(control_id::选择框2));
  std::wstring typed = notepad.text();
  pumpFor(500ms);
  EXPECT_EQ(notepad.text(), typed) << "the run went on after F11";
  EXPECT_EQ(typed, L"A");
}

// The session locks and later the machine sleeps during a run, told as
// Windows tells them: every letter reaches notepad once and in order, and
// nothing is injected while the run is paused.
TEST_F(RecordingE2eTest, ALockAndASleepDuringARunLoseNoLetterAndTypeNothingMeanwhile) {
  InputLog log;
  ASSERT_TRUE(log.ready());
  std::wstring script, letters;
  for (int i = 0; i < 26; ++i) {
    const int vk = 'A' + i, t = 100 + 100 * i;
    script += std::to_wstring(t) + L" 0 " + std::to_wstring(vk) + L" 0 0\r\n" + std::to_wstring(t + 20) + L" 2 " +
              std::to_wstring(vk) + L" 0 0\r\n";
    letters += static_cast<wchar_t>(L'a' + i);
  }
  tamsik.setScript(script);
  key(L"F12");
  DWORD session = 0;
  ProcessIdToSessionId(tamsik.id(), &session);
  struct Away {
    UINT message;
    WPARAM leave, comeBack;
    std::size_t afterLetters;
  };
  std::vector<std::pair<double, double>> pauses;
  for (const Away& away : {Away{WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK, 5},
                           Away{WM_POWERBROADCAST, PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC, 15}}) {
    ASSERT_TRUE(waitUntil("letters", [&] { return notepad.text().size() >= away.afterLetters; }, 20s));
    PostMessageW(window, away.message, away.leave, session);
    ASSERT_TRUE(waitUntil("the pause", [&] { return tamsik.status() == texts::kDesktopAway; }));
    const double pausedAt = nowMs();
    const std::size_t typed = notepad.text().size();
    pumpFor(1500ms);
    EXPECT_EQ(notepad.text().size(), typed) << "typed on while paused";
    pauses.emplace_back(pausedAt, nowMs());
    PostMessageW(window, away.message, away.comeBack, session);
    EXPECT_TRUE(waitUntil("the run to go on", [&] { return tamsik.status().empty(); }));
  }
  EXPECT_TRUE(waitUntil("every letter", [&] { return notepad.text().size() >= letters.size(); }, 20s));
  pumpFor(300ms);
  EXPECT_EQ(notepad.text(), letters);
  for (const LoggedEvent& event : log.events()) {
    for (const auto& [from, to] : pauses) {
      EXPECT_FALSE(event.injected() && event.atMs > from && event.atMs < to) << "vk " << event.vk << " while paused";
    }
  }
}

TEST_F(RecordingE2eTest, F12RefusesWhenTheChosenWindowIsNotInFront) {
  tamsik.setScript(L"10 0 65 0 0\r\n20 2 65 0 0\r\n");
  tamsik.setChecked(control_id::选择框5, true);  // "所有窗口" stays selected: it matches no window in front
  key(L"F12");
  EXPECT_TRUE(pumpUntil([&] { return tamsik.status() == texts::kTargetNotInFront; }));
  pumpFor(300ms);
  EXPECT_EQ(notepad.text(), L"") << "no run may start";
  EXPECT_FALSE(IsIconic(window));
}

// The first gap of a run is as long as the script says, although the run's
// thread is new and its first calls are slow under Wine.
TEST_F(RecordingE2eTest, FirstGapOfARunIsWhole) {
  InputLog log;
  ASSERT_TRUE(log.ready());
  tamsik.setScript(L"1000 0 65 0 0\r\n1100 2 65 0 0\r\n1500 0 66 0 0\r\n1600 2 66 0 0\r\n");
  key(L"F12");
  std::vector<LoggedEvent> played;
  ASSERT_TRUE(pumpUntil(
      [&] {
        played.clear();
        for (const LoggedEvent& event : log.events()) {
          if (event.injected() && (event.vk == 'A' || event.vk == 'B')) played.push_back(event);
        }
        return played.size() >= 4;
      },
      10s))
      << "the run played " << played.size() << " of 4 key events";
  // Two witnesses of each gap: this process's hook, fine-grained but late
  // whenever its thread waits for a processor, and the system's stamps, taken
  // as the input is sent but in whole milliseconds. A gap the run really got
  // wrong is wrong by both.
  const double wanted[] = {100, 400, 100};
  for (std::size_t i = 0; i < 3; ++i) {
    const double arrived = played[i + 1].atMs - played[i].atMs;
    const double stamped = static_cast<std::int32_t>(played[i + 1].time - played[i].time);
    std::printf("gap %zu as played: %.1f ms as seen, %.0f ms as stamped\n", i, arrived, stamped);
    EXPECT_TRUE(std::abs(arrived - wanted[i]) <= 3 || std::abs(stamped - wanted[i]) <= 3)
        << "gap " << i << " should be " << wanted[i] << " ms: seen " << arrived << ", stamped " << stamped;
  }
}

// Another program may send keys with event times of its own; the lines are
// stamped with the moments the keys really came.
TEST_F(RecordingE2eTest, KeysSentWithTheirOwnTimesAreStampedWhenTheyCame) {
  InputLog log;
  ASSERT_TRUE(log.ready());
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; }));
  auto send = [](WORD vk, std::int32_t timeShiftMs) {
    INPUT input[2] = {};
    for (INPUT& one : input) {
      one.type = INPUT_KEYBOARD;
      one.ki.wVk = vk;
      one.ki.time = GetTickCount() + static_cast<DWORD>(timeShiftMs);
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
  };
  pumpFor(200ms);
  send('C', -5000);
  pumpFor(300ms);
  send('D', 5000);
  pumpFor(200ms);
  key(L"Scroll_Lock");
  ASSERT_TRUE(tamsik.waitForRecordingSummary());

  // When the witness hook saw each key, from the ScrollLock release that
  // started the recording.
  double startMs = -1;
  std::vector<double> sent;
  for (const LoggedEvent& event : log.events()) {
    if (event.vk == VK_SCROLL && event.keyUp() && startMs < 0) startMs = event.atMs;
    if (event.vk == 'C' || event.vk == 'D') sent.push_back(event.atMs - startMs);
  }
  ASSERT_GE(startMs, 0) << "the witness saw no ScrollLock release";
  std::vector<ScriptLine> lines;
  for (const ScriptLine& line : parseScript(tamsik.script())) {
    if (line.kind != 3) lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 4u) << testing::PrintToString(tamsik.script());
  ASSERT_EQ(sent.size(), 4u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_NEAR(static_cast<double>(lines[i].time), sent[i], 10)
        << "line " << i << " of " << testing::PrintToString(tamsik.script());
  }
}

// Every key event that reaches the system during a recording is in the
// script, once and in order, also at xdotool's full speed.
TEST_F(RecordingE2eTest, LosesNoKeyAtFullSpeed) {
  static std::vector<KeyLine> seen;
  seen.clear();
  HHOOK hook = SetWindowsHookExW(
      WH_KEYBOARD_LL,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (code == HC_ACTION) {
          const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
          if (info->vkCode != VK_SCROLL) seen.emplace_back((info->flags & LLKHF_UP) ? 2 : 0, info->vkCode);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  key(L"Scroll_Lock");
  std::wstring letters;
  for (int i = 0; i < 5000; ++i) letters += static_cast<wchar_t>(L'a' + (i * 7) % 26);
  ASSERT_EQ(LinuxCommand(L"timeout 300 xdotool type --delay 0 " + letters).wait(320s), 0);
  // At full speed the X server and Wine drop some of the events and deliver
  // the rest a while after xdotool is done; what counts is what reached the
  // hooks.
  for (std::size_t settled = SIZE_MAX; settled != seen.size();) {
    settled = seen.size();
    pumpFor(1s);
  }
  key(L"Scroll_Lock");
  ASSERT_TRUE(tamsik.waitForRecordingSummary(30s));
  UnhookWindowsHookEx(hook);

  const std::vector<KeyLine> recorded = keyLines(tamsik.script());
  std::printf("%zu key events reached the system during the recording\n", seen.size());
  EXPECT_GE(seen.size(), 1000u) << "too few keys reached the system to tell anything";
  EXPECT_EQ(recorded.size(), seen.size());
  EXPECT_TRUE(recorded == seen) << "the script's keys differ from those the system saw, first "
                            << firstDifference(recorded, seen);
}

// Every resume and every unlock installs the hooks again; the keys typed
// meanwhile are all in the script, each press with its release. Another
// program tells the window of 60 resumes, and of an unlock after every
// other one, 50 ms apart, while X types 150 letters.
TEST_F(RecordingE2eTest, KeysTypedWhileTheHooksAreInstalledAgainAreAllRecorded) {
  InputLog log;
  ASSERT_TRUE(log.ready());
  key(L"Scroll_Lock");
  ASSERT_TRUE(pumpUntil([&] { return IsIconic(window) != FALSE; }));
  std::thread resumes([this] {
    for (int i = 0; i < 60; ++i) {
      PostMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
      if (i % 2) PostMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
      Sleep(50);
    }
  });
  std::wstring letters;
  for (int i = 0; i < 150; ++i) letters += static_cast<wchar_t>(L'a' + (i * 7) % 26);
  const int typed = LinuxCommand(L"xdotool type --delay 15 " + letters).wait(60s);
  resumes.join();
  ASSERT_EQ(typed, 0);
  auto seenKeys = [&log] {
    std::vector<KeyLine> keys;
    for (const LoggedEvent& event : log.events()) {
      if (!event.mouse && event.vk != VK_SCROLL) keys.emplace_back(event.keyUp() ? 2 : 0, event.vk);
    }
    return keys;
  };
  for (std::size_t settled = SIZE_MAX; settled != log.size();) {
    settled = log.size();
    pumpFor(1s);
  }
  key(L"Scroll_Lock");
  ASSERT_TRUE(tamsik.waitForRecordingSummary());

  const std::vector<KeyLine> recorded = keyLines(tamsik.script());
  const std::vector<KeyLine> seen = seenKeys();
  auto count = [](const std::vector<KeyLine>& keys, long kind) {
    return std::count_if(keys.begin(), keys.end(), [kind](const KeyLine& key) { return key.first == kind; });
  };
  std::printf("%zu key events reached the system during 60 resumes and 30 unlocks: %td presses and %td releases "
              "lost\n",
              seen.size(), count(seen, 0) - count(recorded, 0), count(seen, 2) - count(recorded, 2));
  EXPECT_GE(seen.size(), 200u) << "too few keys reached the system to tell anything";
  EXPECT_TRUE(recorded == seen) << "first difference " << firstDifference(recorded, seen);
}

}  // namespace
