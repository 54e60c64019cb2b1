#include "input/hot_keys.h"

#include "input/messages.h"
#include "input/cues.h"

namespace {

constexpr std::int32_t kTimerPeriodMs = 1000;

bool isHotKey(std::int32_t vk) { return vk == hot_key::kScrollLock || vk == hot_key::kF12 || vk == hot_key::kF11; }

}  // namespace

HotKeys::HotKeys(RunState& state, Controls& controls, Sounds& sounds, Runs& runs, Recorder& recorder)
    : state_(state), controls_(controls), sounds_(sounds), runs_(runs), recorder_(recorder) {}

void HotKeys::onKeyEvent(const KeyEvent& event) {
  // A script never triggers or records itself.
  if (event.ownInput) return;
  if (isHotKey(event.vk)) {
    if (event.transition != kKeyRelease) return;
    if (event.vk == hot_key::kScrollLock) {
      state_.recording ? endRecording(event.atUs) : startRecording(event.atUs);
    } else if (!state_.recording) {
      if (event.vk == hot_key::kF12) {
        runScript();
      } else {
        controls_.uncheck(CheckBox::选择框2);
        runs_.stop();
      }
    }
    return;
  }
  if (state_.recording && controls_.isChecked(CheckBox::选择框6)) recorder_.appendKeyLine(event);
}

void HotKeys::startRecording(std::int64_t atUs) {
  if (controls_.isChecked(CheckBox::选择框3)) controls_.minimiseWindow();
  recorder_.beginRecording(atUs);
  controls_.setTimerPeriod(kTimerPeriodMs);
  sounds_.play(startCue());
}

void HotKeys::endRecording(std::int64_t atUs) {
  recorder_.endRecording(atUs);
  sounds_.play(stopCue());
}

void HotKeys::runScript() {
  if (controls_.isChecked(CheckBox::选择框5) && !runs_.isTargetWindowInFront()) {
    controls_.setStatusText(StatusPanel::message, texts::kTargetNotInFront);
    return;
  }
  if (state_.playing.load()) return;
  if (controls_.isChecked(CheckBox::选择框4)) controls_.minimiseWindow();
  runs_.start();
  controls_.setTimerPeriod(kTimerPeriodMs);
  // The run starts all the same: the script may bring another window to the
  // front first.
  if (runs_.isForegroundWindowAboveUs()) controls_.setStatusText(StatusPanel::message, texts::kForegroundElevated);
}
