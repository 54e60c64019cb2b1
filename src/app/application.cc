#include "app/application.h"

#include "app/single_instance.h"
#include "desktop/script_files.h"
#include "desktop/window_list.h"
#include "input/messages.h"

Application::Application(const Platform& platform)
    : platform_(platform),
      ownPlacements_(platform.steadyClock),
      playerInput_(platform.injector, ownPlacements_),
      script_(platform.scriptBox, platform.windowThread),
      player_(state_.playing, script_, platform.loopOption, platform.controls, playerInput_, platform.waiters),
      recorder_(state_, platform.controls, platform.scriptBox, platform.cursor, ownPlacements_, platform.windowThread,
                platform.clock),
      hotKeys_(state_, platform.controls, platform.scriptBox, platform.sounds, *this, recorder_),
      watchdog_(platform.hooks, *this, {platform.keyboard, platform.lastInput, platform.cursor}, platform.clock) {
  // Windows refuses the input of a run that goes to a window above ours.
  player_.setInputRefusedListener([this] {
    platform_.windowThread.post(
        [this] { platform_.controls.setStatusText(StatusPanel::message, texts::kForegroundElevated); });
  });
}

Application::~Application() { onWindowClosing(std::chrono::seconds(1)); }

bool Application::onWindowCreated() {
  Processes& processes = platform_.processes;
  const std::wstring ownName = processes.ownExecutableName();
  const InstanceClaim claim = ownName.empty() ? InstanceClaim::unavailable : processes.claimInstance(ownName);
  if (isSecondCopy(claim, processes.runningProcesses(), processes.ownSession(), ownName)) {
    processes.bringRunningCopyForward();
    return false;
  }
  platform_.hooks.install(*this);
  hooksWanted_ = true;
  refreshWindowList();
  return true;
}

bool Application::onWindowClosing(std::chrono::milliseconds patience) {
  hooksWanted_ = false;
  platform_.hooks.remove();
  platform_.controls.setTimerPeriod(0);
  player_.stop();
  return platform_.runThreads.joinAll(patience);
}

void Application::clearScript() { platform_.scriptBox.setText(L""); }

void Application::refreshWindowList() { ::refreshWindowList(platform_.windows, platform_.windowList); }

ScriptFileContext Application::fileContext() {
  return {platform_.fileDialogs, platform_.files, platform_.codec, platform_.scriptBox, platform_.controls,
          platform_.waiters};
}

void Application::openScript() {
  ScriptFileContext context = fileContext();
  openScriptFile(context);
}

void Application::openDroppedFiles(const std::vector<std::wstring>& paths) {
  ScriptFileContext context = fileContext();
  openDroppedScriptFile(context, paths);
}

void Application::saveScript() {
  // What was recorded up to the save goes into the file.
  recorder_.flushToBox();
  script_.publishNow();
  ScriptFileContext context = fileContext();
  saveScriptFile(context);
}

bool Application::onTimerTick() {
  if (state_.recording != 0 || state_.playing.load() != 0) return false;
  platform_.controls.setTimerPeriod(0);
  return true;
}

void Application::checkHooks() {
  if (!hooksWanted_) return;
  watchdog_.check({isForegroundWindowAboveUs(), state_.playing.load() != 0});
}

void Application::onResumeOrUnlock() {
  if (hooksWanted_) watchdog_.reinstall();
}

void Application::onForegroundChanged(WindowHandle window) {
  if (hooksWanted_ && platform_.integrity.isAboveOurs(window)) watchdog_.noteInputHidden();
}

void Application::onKey(const KeyEvent& event) {
  const bool wasRecording = state_.recording != 0;
  hotKeys_.onKeyEvent(event);
  // The recording's last lines are in the box: the script is published now,
  // not when a run asks for it.
  if (wasRecording && state_.recording == 0) script_.publishNow();
}

void Application::onMouse(const MouseEvent& event) { recorder_.onMouseEvent(event); }

void Application::start() {
  ScriptPlayer::Run run = player_.beginRun();
  platform_.runThreads.start([this, run] { player_.playScript(run); });
}

void Application::stop() { player_.stop(); }

bool Application::isTargetWindowInFront() { return ::isTargetWindowInFront(platform_.windows, platform_.windowList); }

bool Application::isForegroundWindowAboveUs() {
  return platform_.integrity.isAboveOurs(platform_.windows.foregroundWindow());
}
