#include "app/application.h"

#include "app/single_instance.h"
#include "desktop/script_files.h"
#include "desktop/window_list.h"

Application::Application(const Platform& platform)
    : platform_(platform),
      ownPlacements_(platform.clock),
      playerInput_(platform.injector, ownPlacements_),
      script_(platform.scriptBox, platform.windowThread),
      player_(state_.playing, script_, platform.loopOption, platform.controls, playerInput_, platform.waiters),
      recorder_(state_, platform.controls, platform.scriptBox, platform.cursor, ownPlacements_, platform.windowThread),
      hotKeys_(state_, platform.controls, platform.scriptBox, platform.sounds, *this, recorder_),
      watchdog_(platform.hooks, *this, {platform.keyboard, platform.lastInput, platform.cursor}, platform.clock) {}

Application::~Application() { onWindowClosing(std::chrono::seconds(1)); }

bool Application::onWindowCreated() {
  if (isSecondCopy(platform_.processes.runningExecutableNames(), platform_.processes.ownExecutableName())) {
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

void Application::openScript() {
  ScriptFileContext context{platform_.fileDialogs, platform_.files, platform_.codec, platform_.scriptBox,
                            platform_.controls};
  openScriptFile(context);
}

void Application::saveScript() {
  ScriptFileContext context{platform_.fileDialogs, platform_.files, platform_.codec, platform_.scriptBox,
                            platform_.controls};
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

void Application::onKey(const KeyEvent& event) { hotKeys_.onKeyEvent(event); }

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
