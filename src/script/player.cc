#include "script/player.h"

#include <algorithm>

#include "script/messages.h"
#include "script/held_input.h"
#include "script/script_action.h"
#include "script/script_line.h"

namespace {

constexpr std::int32_t kShortestPause = 3;
constexpr std::int32_t kBetweenPasses = 3;

// Computed wide: stamps far apart neither overflow nor wrap round into a
// pause of the wrong sign.
std::int32_t pauseBetween(std::int64_t previousStamp, std::int32_t stamp) {
  std::int64_t pause = std::int64_t{stamp} - previousStamp;
  if (pause <= 0) return kShortestPause;
  return static_cast<std::int32_t>(std::min<std::int64_t>(pause, INT32_MAX));
}

}  // namespace

std::int64_t ActionSchedule::due(std::int32_t pauseMs, std::int64_t leadUs, std::int64_t nowUs) const {
  return started_ ? referenceUs_ + std::int64_t{pauseMs} * 1000 : nowUs + leadUs;
}

void ActionSchedule::played(std::int64_t dueUs, std::int64_t wentOutUs) {
  referenceUs_ = !started_ || wentOutUs - dueUs > kCatchUpUs ? wentOutUs : dueUs;
  started_ = true;
}

ScriptPlayer::ScriptPlayer(std::atomic<std::int32_t>& playing, PublishedScript& script, const std::atomic<bool>& loop,
                           Controls& controls, InputInjector& input, WaiterFactory& waiters,
                           const RunConditions& conditions)
    : playing_(playing),
      script_(script),
      loop_(loop),
      controls_(controls),
      input_(input),
      waiters_(waiters),
      conditions_(conditions) {
  script_.setPublishedListener([this] { scriptChanged(); });
  // Between runs nobody reads the script; beginRun publishes it.
  script_.followChangesWhile([this] { return playing_.load() != 0; });
}

ScriptPlayer::Run ScriptPlayer::beginRun() {
  script_.publishNow();
  std::lock_guard lock(mutex_);
  Run run{currentRun_.load() + 1, waiters_.makeWaiter(), std::make_shared<HeldInput>(input_)};
  currentRun_.store(run.number);
  currentWaiter_ = run.waiter;
  std::erase_if(held_, [](const std::weak_ptr<HeldInput>& held) { return held.expired(); });
  held_.push_back(run.held);
  playing_.store(1);
  return run;
}

void ScriptPlayer::releaseStuckRuns() {
  std::vector<std::shared_ptr<HeldInput>> stuck;
  {
    std::lock_guard lock(mutex_);
    for (const std::weak_ptr<HeldInput>& held : held_) {
      if (std::shared_ptr<HeldInput> alive = held.lock()) stuck.push_back(alive);
    }
  }
  for (const std::shared_ptr<HeldInput>& held : stuck) held->releaseForGood();
}

void ScriptPlayer::tell(RunNotice notice) const {
  if (notice_) notice_(notice);
}

void ScriptPlayer::stop() {
  playing_.store(0);
  std::lock_guard lock(mutex_);
  if (currentWaiter_) currentWaiter_->cancel();
}

void ScriptPlayer::scriptChanged() {
  std::lock_guard lock(mutex_);
  if (currentWaiter_) currentWaiter_->interrupt();
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

ScriptPlayer::Obstacle ScriptPlayer::obstacle(Watch& watch, std::int64_t nowUs) {
  if (watch.desktopRefused) watch.desktopRefused = !conditions_.inputDesktop.isOurs();
  if (watch.desktopRefused || !conditions_.gate.isOpen()) return Obstacle::desktop;
  if (!watch.lookedUs || nowUs - *watch.lookedUs >= kHungLookUs) {
    WindowSystem& windows = conditions_.windows;
    watch.hung = windows.isHung(windows.foregroundWindow());
    watch.lookedUs = nowUs;
  }
  return watch.hung ? Obstacle::hungWindow : Obstacle::none;
}

bool ScriptPlayer::waitOut(Obstacle first, Watch& watch, HeldInput& held, Waiter& waiter) {
  bool letGo = false;
  bool going = true;
  Obstacle told = Obstacle::none;
  for (Obstacle now = first; now != Obstacle::none; now = obstacle(watch, waiter.nowUs())) {
    // Nothing stays pressed for the user who comes back to the desktop.
    if (now == Obstacle::desktop && !letGo) {
      held.letGo();
      letGo = true;
    }
    if (now != told) {
      told = now;
      tell(now == Obstacle::desktop ? RunNotice::desktopAway : RunNotice::windowHung);
    }
    if (waiter.waitUntil(waiter.nowUs() + kLookAgainUs) == WaitEnd::cancelled) {
      going = false;
      break;
    }
  }
  if (letGo && going) held.takeBack();
  tell(RunNotice::goingOn);
  return going;
}

void ScriptPlayer::playScript(const Run& run) {
  if (script_.current()->text().empty()) {
    controls_.showError(texts::kEmptyScript);
    finish(run);
    return;
  }

  // Before the first due moment is taken, so that the first action is not
  // late by the thread's first calls.
  input_.warmUp();
  HeldInput& held = *run.held;
  ScriptAction action;
  ActionSchedule schedule;
  Waiter& waiter = *run.waiter;
  std::int32_t index = 0;
  bool refusalTold = false;
  Watch watch;
  // The stamp of the line played last in this pass, when one was.
  bool playedInPass = false;
  std::int32_t previousStamp = 0;
  while (goesOn(run)) {
    std::shared_ptr<const ScriptSnapshot> script = script_.current();
    // A line that does not hold five numbers is passed over.
    if (std::optional<ScriptLine> line = readScriptLine(script->line(index))) {
      // A pause begins at once, not when the next action is due, so that
      // nothing the run holds stays pressed meanwhile.
      if (watch.desktopRefused || !conditions_.gate.isOpen()) {
        if (!waitOut(Obstacle::desktop, watch, held, waiter)) break;
        schedule.resumeAt(waiter.nowUs());
        continue;
      }
      action.setTime(line->time);
      action.setKind(line->kind);
      action.setCode(line->code);
      action.setPosition({line->x, line->y});
      action.setExtra(line->extra);
      std::int32_t pause = playedInPass ? pauseBetween(previousStamp, line->time) : kBetweenPasses;
      std::int64_t due = schedule.due(pause, action.leadUs(), waiter.nowUs());
      WaitEnd end = waiter.waitUntil(due - action.leadUs());
      if (end == WaitEnd::cancelled) break;
      // The box or the gate changed: this line once more.
      if (end == WaitEnd::interrupted) continue;
      if (Obstacle now = obstacle(watch, waiter.nowUs()); now != Obstacle::none) {
        if (!waitOut(now, watch, held, waiter)) break;
        schedule.resumeAt(waiter.nowUs());
        continue;
      }
      std::optional<std::int64_t> wentOut = action.execute(held, waiter, due);
      if (held.takeRefusal()) {
        // Refused on the secure desktop: played again once the desktop is ours.
        if (!conditions_.inputDesktop.isOurs()) {
          watch.desktopRefused = true;
          continue;
        }
        if (!refusalTold) tell(RunNotice::inputRefused);
        refusalTold = true;
      }
      if (!wentOut) break;
      schedule.played(due, *wentOut);
      previousStamp = line->time;
      playedInPass = true;
    }
    ++index;
    // The box line after the last CR LF is never played. An index past the
    // end, which edits during the run can cause, ends the pass as well.
    if (index + 1 >= script_.current()->lineCount()) {
      if (!loop_.load()) break;
      // A looping script without one playable line must not spin.
      if (!playedInPass && waiter.waitUntil(waiter.nowUs() + kShortestPause * 1000) == WaitEnd::cancelled) break;
      index = 0;
      playedInPass = false;
    }
  }
  held.releaseAll();
  finish(run);
}
