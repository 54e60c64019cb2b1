#include "script/player.h"

#include <algorithm>

#include "app/texts.h"
#include "script/held_input.h"
#include "script/script_action.h"
#include "script/script_line.h"

namespace {

constexpr std::int32_t kSecondLinePause = 20;
constexpr std::int32_t kShortestPause = 3;

// Computed wide: stamps far apart neither overflow nor wrap round into a
// pause of the wrong sign.
std::int32_t pauseBetween(std::int64_t previousStamp, std::int32_t stamp) {
  std::int64_t pause = std::int64_t{stamp} - previousStamp;
  if (pause <= 0) return kShortestPause;
  return static_cast<std::int32_t>(std::min<std::int64_t>(pause, INT32_MAX));
}

}  // namespace

ScriptPlayer::ScriptPlayer(std::atomic<std::int32_t>& playing, ScriptBox& box, Controls& controls,
                           InputInjector& input, WaiterFactory& waiters)
    : playing_(playing), box_(box), controls_(controls), input_(input), waiters_(waiters) {}

ScriptPlayer::Run ScriptPlayer::beginRun() {
  std::lock_guard lock(mutex_);
  Run run{currentRun_.load() + 1, waiters_.makeWaiter()};
  currentRun_.store(run.number);
  currentWaiter_ = run.waiter;
  playing_.store(1);
  return run;
}

void ScriptPlayer::stop() {
  playing_.store(0);
  std::lock_guard lock(mutex_);
  if (currentWaiter_) currentWaiter_->cancel();
}

bool ScriptPlayer::goesOn(const Run& run) const {
  return playing_.load() != 0 && currentRun_.load() == run.number;
}

void ScriptPlayer::finish(const Run& run) {
  std::lock_guard lock(mutex_);
  if (currentRun_.load() != run.number) return;  // a newer run owns the flag now
  playing_.store(0);
  currentWaiter_.reset();
}

void ScriptPlayer::playScript(const Run& run) {
  if (box_.text().empty()) {
    controls_.showError(texts::kEmptyScript);
    finish(run);
    return;
  }

  HeldInput held(input_);
  ScriptAction action;
  std::int32_t index = 0;
  std::int64_t previousStamp = 0;
  bool playedInPass = false;
  while (goesOn(run)) {
    // A line that does not hold five numbers is passed over.
    if (std::optional<ScriptLine> line = readScriptLine(box_.line(index))) {
      action.setTime(line->time);
      action.setKind(line->kind);
      action.setCode(line->code);
      action.setPosition({line->x, line->y});
      if (index == 1) previousStamp = std::int64_t{line->time} - kSecondLinePause;
      std::int32_t pause = pauseBetween(previousStamp, line->time);
      previousStamp = line->time;
      action.execute(held, *run.waiter);
      run.waiter->sleepMs(pause);
      playedInPass = true;
    }
    ++index;
    // The box line after the last CR LF is never played. An index past the
    // end, which edits during the run can cause, ends the pass as well.
    if (index + 1 >= box_.lineCount()) {
      if (!controls_.isChecked(CheckBox::选择框2)) break;
      // A looping script without one playable line must not spin.
      if (!playedInPass) run.waiter->sleepMs(kShortestPause);
      index = 0;
      playedInPass = false;
    }
  }
  held.releaseAll();
  finish(run);
}
