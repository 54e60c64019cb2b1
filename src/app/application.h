#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/platform_parts.h"
#include "app/run_state.h"
#include "desktop/script_files.h"
#include "input/hook_watchdog.h"
#include "input/hot_keys.h"
#include "input/own_input.h"
#include "input/recorder.h"
#include "script/player.h"
#include "script/published_script.h"

// The program behind its window: the run state, the hot keys, the recorder,
// the player and its runs, the script files, the window list and the hooks'
// watchdog, built from the platform's interfaces alone. The main window
// turns its messages into these calls. Window thread throughout.
class Application : private InputListener, private Runs {
 public:
  static constexpr std::chrono::milliseconds kSessionEndPatience{500};
  // A save under way tries again for 2 s at most; the close waits for it.
  static constexpr std::chrono::milliseconds kSavePatience{3000};

  explicit Application(const Platform& platform);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The window and its controls exist. False when another copy of the
  // program runs: then that copy is asked to bring its window to the front,
  // nothing has been started here, and the process ends.
  // Otherwise the hooks are installed and the window list is filled.
  bool onWindowCreated();
  // The window goes: the hooks are removed and the runs stopped. False when a
  // run did not end within the patience.
  bool onWindowClosing(std::chrono::milliseconds patience);

  // The buttons.
  void clearScript();
  void refreshWindowList();
  void openScript();
  void saveScript();
  // Files dropped onto the window, in the order the system gives them.
  void openDroppedFiles(const std::vector<std::wstring>& paths);

  // A tick of 时钟1: true when neither a recording nor a run is on, and the
  // timer has been stopped.
  bool onTimerTick();
  // About once a second: installs the hooks again if the system dropped them.
  void checkHooks();
  // The system resumed from sleep, or the session was unlocked: the system
  // may have dropped the hooks meanwhile, so they are installed again.
  void onResumeOrUnlock();
  // The session locked or unlocked, disconnected or connected again, the
  // machine suspended or resumed: while any of them keeps the desktop away,
  // runs pause and a recording's clock stands still.
  void onDesktopAway(DesktopGate::Cause cause, bool away);
  // The user logs off, or Windows shuts down or restarts: a run stops and
  // lets go of what it holds, a recording ends as ScrollLock ends it.
  void onSessionEnding();
  // Another window came to the front. One above ours hides the input aimed
  // at it from the hooks, also when it leaves before the watchdog looks.
  void onForegroundChanged(WindowHandle window);

  RunState& state() { return state_; }

 private:
  ScriptFileContext fileContext();
  // Stops the runs; what a run whose thread did not end within the patience
  // holds is let go of from here. False then.
  bool stopRuns(std::chrono::milliseconds patience);
  void showRunNotice(RunNotice notice);
  // InputListener: the hooks' events.
  void onKey(const KeyEvent& event) override;
  void onMouse(const MouseEvent& event) override;
  // Runs: what the hot keys start and stop.
  void start() override;
  void stop() override;
  bool isTargetWindowInFront() override;
  bool isForegroundWindowAboveUs() override;

  Platform platform_;
  const WindowParts& window_;  // of platform_
  RunState state_;
  DesktopGate gate_;
  OwnPlacements ownPlacements_;
  PlacementNotingInjector playerInput_;
  PublishedScript script_;
  ScriptPlayer player_;
  Recorder recorder_;
  HotKeys hotKeys_;
  HookWatchdog watchdog_;
  ScriptSaves saves_;
};
