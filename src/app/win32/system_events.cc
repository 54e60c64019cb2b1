#include "app/win32/system_events.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include "app/control_ids.h"
#include "app/texts.h"
#include "platform/win32/window_system.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which carries a drop's data
// 时钟1 is control_id::时钟1.
constexpr UINT_PTR kWatchdogTimer = 2;
constexpr UINT kWatchdogPeriodMs = 1000;
constexpr UINT_PTR kShellTimer = 3;
constexpr UINT kShellRetryMs = 2000;

// The one listener of foreground events, which come without context.
SystemEvents* gForegroundListener = nullptr;

}  // namespace

SystemEvents::SystemEvents(HWND window, Application& application, HICON icon)
    : window_(window),
      application_(application),
      taskbarCreatedMessage_(RegisterWindowMessageW(L"TaskbarCreated")),
      comeForwardMessage_(RegisterWindowMessageW(kComeForwardMessage)),
      trayIcon_(window, kTrayMessage, icon),
      sessions_(window),
      shell_(trayIcon_, sessions_),
      watchdogTimer_(window, kWatchdogTimer),
      shellTimer_(window, kShellTimer) {
  // The shell's broadcast must reach the window also when it runs elevated,
  // and so must a second copy's request, which may run at a lower level.
  ChangeWindowMessageFilterEx(window_, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(window_, comeForwardMessage_, MSGFLT_ALLOW, nullptr);
  // Files dropped from Explorer, which runs at a lower integrity level than
  // an elevated Tamsik: the drop arrives as these three messages.
  for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
    ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr);
  }
  // Windows may drop the hooks while the session is locked.
  shell_.start(texts::kTrayTip);
  keepAskingTheShell();
  watchdogTimer_.start(kWatchdogPeriodMs);
  // Out of context: the events come to this thread between its messages,
  // from every process of the desktop, elevated ones included.
  gForegroundListener = this;
  foregroundEvents_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                          &SystemEvents::onForegroundEvent, 0, 0,
                                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
}

SystemEvents::~SystemEvents() {
  stopListening();
  if (shellStop_.joinable()) shellStop_.join();
}

void CALLBACK SystemEvents::onForegroundEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD) {
  if (event == EVENT_SYSTEM_FOREGROUND && gForegroundListener) {
    gForegroundListener->application_.onForegroundChanged(toWindowHandle(window));
  }
}

bool SystemEvents::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TIMER:
      onTimer(wParam);
      return true;
    case WM_POWERBROADCAST:
      // Every resume brings PBT_APMRESUMEAUTOMATIC; PBT_APMRESUMESUSPEND
      // follows it when the user woke the machine, and would only repeat it.
      if (wParam == PBT_APMSUSPEND) application_.onDesktopAway(DesktopGate::suspended, true);
      if (wParam == PBT_APMRESUMEAUTOMATIC) {
        application_.onDesktopAway(DesktopGate::suspended, false);
        // After a resume, as after an unlock, the hooks may be gone.
        application_.onResumeOrUnlock();
      }
      return false;
    case WM_WTSSESSION_CHANGE:
      onSessionChange(wParam);
      return false;
    case kTrayMessage:
      // Only a minimised window is restored; a normal one stays as it is.
      // Merely passing the pointer over the icon restores nothing: the window
      // would take the focus from a script that runs in another program.
      if (LOWORD(lParam) != WM_MOUSEMOVE && IsIconic(window_)) comeForward();
      return true;
    default:
      if (message == taskbarCreatedMessage_ && message != 0) {
        shell_.taskbarCreated();
        keepAskingTheShell();
        return true;
      }
      if (message == comeForwardMessage_ && message != 0) {
        comeForward();
        result = TRUE;
        return true;
      }
      return false;
  }
}

void SystemEvents::onSessionChange(WPARAM change) {
  switch (change) {
    case WTS_SESSION_LOCK:
      application_.onDesktopAway(DesktopGate::locked, true);
      break;
    case WTS_SESSION_UNLOCK:
      application_.onDesktopAway(DesktopGate::locked, false);
      application_.onResumeOrUnlock();
      break;
    // A session that leaves the console may come back over Remote Desktop,
    // and the other way round.
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      application_.onDesktopAway(DesktopGate::disconnected, true);
      break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      application_.onDesktopAway(DesktopGate::disconnected, false);
      break;
    default:
      break;
  }
}

void SystemEvents::onTimer(UINT_PTR id) {
  switch (id) {
    case control_id::时钟1:
      // The tip comes back once nothing is on; meanwhile the icon alone.
      shell_.apply(application_.onTimerTick() ? texts::kTrayTip : nullptr);
      keepAskingTheShell();
      break;
    case kWatchdogTimer:
      application_.checkHooks();
      break;
    case kShellTimer:
      if (!shell_.retry()) shellTimer_.stop();
      break;
    default:
      break;
  }
}

void SystemEvents::iconChanged(HICON icon) {
  trayIcon_.setImage(icon);
  shell_.imageChanged();
  keepAskingTheShell();
}

void SystemEvents::keepAskingTheShell() {
  if (shell_.missing() && !shellTimer_.running()) shellTimer_.start(kShellRetryMs);
}

void SystemEvents::comeForward() {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

void SystemEvents::stopListening() {
  watchdogTimer_.stop();
  shellTimer_.stop();
  foregroundEvents_.reset();
  if (gForegroundListener == this) gForegroundListener = nullptr;
  if (shellStop_.joinable() || shellDone_) return;
  shellDone_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!shellDone_) {
    shell_.stop();
    return;
  }
  shellStop_ = std::thread([this, done = shellDone_.get()] {
    shell_.stop();
    SetEvent(done);
  });
}

void SystemEvents::waitForShell(DWORD patienceMs) {
  if (shellDone_) WaitForSingleObject(shellDone_.get(), patienceMs);
}
