#include "app/application.h"

#include "app/single_instance.h"
#include "desktop/script_files.h"
#include "desktop/window_list.h"
#include "input/messages.h"
#include "script/messages.h"

Application::Application(const Platform& platform)
    : platform_(platform),
      window_(platform_.window),
      ownPlacements_(platform.time.steadyClock),
      playerInput_(platform.input.injector, ownPlacements_),
      script_(window_.scriptBox, window_.windowThread),
      player_(state_.playing, script_, window_.loopOption, window_.controls, playerInput_, platform.time.waiters,
              {gate_, platform.system.inputDesktop, platform.system.windows}),
      recorder_(state_, window_.controls, window_.scriptBox, platform.input.cursor, ownPlacements_,
                window_.windowThread, platform.time.clock, platform.input.hooks),
      hotKeys_(state_, window_.controls, platform.system.sounds, *this, recorder_),
      watchdog_(platform.input.hooks, *this, {platform.input.keyboard, platform.input.lastInput, platform.input.cursor},
                platform.time.clock),
      saves_(fileContext(), platform.time.saveThreads, window_.windowThread) {
  player_.setNoticeListener(
      [this](RunNotice notice) { window_.windowThread.post([this, notice] { showRunNotice(notice); }); });
  // The recording's last lines are in the box: the script is published now,
  // not when a run asks for it.
  recorder_.setRecordingListener([this](bool recording) {
    if (!recording) script_.publishNow();
  });
}

Application::~Application() { onWindowClosing(std::chrono::seconds(1)); }

bool Application::onWindowCreated() {
  Processes& processes = platform_.system.processes;
  const std::wstring ownName = processes.ownExecutableName();
  const InstanceClaim claim = ownName.empty() ? InstanceClaim::unavailable : processes.claimInstance(ownName);
  if (isSecondCopy(claim, processes.runningProcesses(), processes.ownSession(), ownName)) {
    processes.bringRunningCopyForward();
    return false;
  }
  watchdog_.installHooks();
  refreshWindowList();
  return true;
}

bool Application::onWindowClosing(std::chrono::milliseconds patience) {
  watchdog_.removeHooks();
  window_.controls.setTimerPeriod(0);
  const bool runsEnded = stopRuns(patience);
  saves_.finish(kSavePatience);
  return runsEnded;
}

bool Application::stopRuns(std::chrono::milliseconds patience) {
  player_.stop();
  if (platform_.time.runThreads.joinAll(patience)) return true;
  player_.releaseStuckRuns();
  return false;
}

void Application::onDesktopAway(DesktopGate::Cause cause, bool away) {
  if (!gate_.set(cause, away)) return;
  const std::int64_t now = platform_.time.steadyClock.nowUs();
  if (state_.recording) away ? recorder_.pauseRecording(now) : recorder_.resumeRecording(now);
  player_.gateChanged();
}

void Application::onSessionEnding() {
  if (state_.recording) recorder_.endRecording(platform_.time.steadyClock.nowUs());
  // Windows may end the process soon after the session's end is answered.
  stopRuns(kSessionEndPatience);
}

void Application::showRunNotice(RunNotice notice) {
  switch (notice) {
    case RunNotice::inputRefused:
      // Windows refuses the input of a run that goes to a window above ours.
      if (isForegroundWindowAboveUs()) window_.controls.setStatusText(StatusPanel::message, texts::kForegroundElevated);
      break;
    case RunNotice::desktopAway:
      window_.controls.setStatusText(StatusPanel::message, texts::kDesktopAway);
      break;
    case RunNotice::windowHung:
      window_.controls.setStatusText(StatusPanel::message, texts::kForegroundHung);
      break;
    case RunNotice::goingOn:
      window_.controls.setStatusText(StatusPanel::message, L"");
      break;
  }
}

void Application::clearScript() { window_.scriptBox.setText(L""); }

void Application::refreshWindowList() { ::refreshWindowList(platform_.system.windows, window_.windowList); }

ScriptFileContext Application::fileContext() {
  return {window_.fileDialogs, platform_.files.store, platform_.files.codec, window_.scriptBox, window_.controls,
          platform_.time.waiters};
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
  saves_.save();
}

bool Application::onTimerTick() {
  if (state_.recording != 0 || state_.playing.load() != 0) return false;
  window_.controls.setTimerPeriod(0);
  return true;
}

void Application::checkHooks() {
  watchdog_.check({isForegroundWindowAboveUs(), state_.playing.load() != 0});
}

void Application::onResumeOrUnlock() { watchdog_.reinstall(); }

void Application::onForegroundChanged(WindowHandle window) {
  if (platform_.system.integrity.isAboveOurs(window)) watchdog_.noteInputHidden();
}

void Application::onKey(const KeyEvent& event) { hotKeys_.onKeyEvent(event); }

void Application::onMouse(const MouseEvent& event) { recorder_.onMouseEvent(event); }

void Application::start() {
  ScriptPlayer::Run run = player_.beginRun();
  platform_.time.runThreads.start([this, run] { player_.playScript(run); });
}

void Application::stop() { player_.stop(); }

bool Application::isTargetWindowInFront() {
  return ::isTargetWindowInFront(platform_.system.windows, window_.windowList);
}

bool Application::isForegroundWindowAboveUs() {
  return platform_.system.integrity.isAboveOurs(platform_.system.windows.foregroundWindow());
}
