#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/resource_ids.h"
#include "app/texts.h"
#include "app/window_layout.h"
#include "platform/win32/handles.h"
#include "platform/win32/dpi.h"

namespace {

bool fontInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  if (face.size() >= std::size(wanted.lfFaceName)) return false;
  face.copy(wanted.lfFaceName, face.size());
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

constexpr UINT kTrayMessage = WM_APP + 1;
// The one main window, for the foreground events, which come without context.
MainWindow* gForegroundListener = nullptr;
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which carries a drop's data
constexpr int kBaseDpi = 96;
// The hooks' watchdog looks once a second; 时钟1 is control_id::时钟1.
constexpr UINT_PTR kWatchdogTimer = 2;
constexpr UINT kWatchdogPeriodMs = 1000;
constexpr UINT_PTR kShellTimer = 3;
constexpr UINT kShellRetryMs = 2000;
constexpr DWORD kIconPatienceMs = 500;

// Where the main window opens at 96 DPI; its size is the layout's.
constexpr int kWindowLeft = 50, kWindowTop = 50;
constexpr int kStatusPanel0Width = 120, kStatusPanel1Width = 280, kStatusHeight = 20;
constexpr int kSensitivityMin = 5, kSensitivityMax = 50, kSensitivityStart = 10;
constexpr int kComboDropHeight = 200;
// The help text's character height at 96 DPI may shrink this far to fit.
constexpr int kSmallestHelpFont = 9;

enum class Kind { GroupBox, CheckBox, Label, TransparentLabel, ReadOnlyNumber, Arrows, Button, ComboBox, ScriptEdit };

struct ControlDef {
  int id;
  Kind kind;
  int parent;  // 0: the window's client area
  const wchar_t* caption;
  bool checked;
};

// In the order of creation, parents first; where they stand is the layout's.
constexpr ControlDef kControls[] = {
    {control_id::分组框1, Kind::GroupBox, 0, texts::k分组框1, false},
    {control_id::选择框1, Kind::CheckBox, control_id::分组框1, texts::k选择框1, true},
    {control_id::选择框2, Kind::CheckBox, control_id::分组框1, texts::k选择框2, false},
    {control_id::选择框3, Kind::CheckBox, control_id::分组框1, texts::k选择框3, true},
    {control_id::选择框4, Kind::CheckBox, control_id::分组框1, texts::k选择框4, true},
    {control_id::选择框5, Kind::CheckBox, control_id::分组框1, texts::k选择框5, false},
    {control_id::选择框6, Kind::CheckBox, control_id::分组框1, texts::k选择框6, true},
    {control_id::选择框7, Kind::CheckBox, control_id::分组框1, texts::k选择框7, true},
    {control_id::标签4, Kind::Label, control_id::分组框1, texts::k标签4, false},
    {control_id::编辑框1, Kind::ReadOnlyNumber, control_id::分组框1, texts::k编辑框1, false},
    {control_id::编辑框1Arrows, Kind::Arrows, control_id::分组框1, L"", false},
    {control_id::标签2, Kind::Label, control_id::分组框1, texts::k标签2, false},
    {control_id::标签3, Kind::Label, control_id::分组框1, L"", false},
    {control_id::按钮2, Kind::Button, control_id::分组框1, texts::k按钮2, false},
    {control_id::分组框2, Kind::GroupBox, 0, texts::k分组框2, false},
    {control_id::透明标签1, Kind::TransparentLabel, control_id::分组框2, texts::k透明标签1, false},
    {control_id::组合框, Kind::ComboBox, control_id::分组框2, L"", false},
    {control_id::打开脚本按钮, Kind::Button, control_id::分组框2, texts::k打开脚本按钮, false},
    {control_id::保存脚本按钮, Kind::Button, control_id::分组框2, texts::k保存脚本按钮, false},
    {control_id::按钮1, Kind::Button, control_id::分组框2, texts::k按钮1, false},
    {control_id::脚本框, Kind::ScriptEdit, control_id::分组框2, L"", false},
};

constexpr int kCheckBoxIds[] = {control_id::选择框1, control_id::选择框2, control_id::选择框3, control_id::选择框4,
                                control_id::选择框5, control_id::选择框6, control_id::选择框7};

int scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kBaseDpi); }

// Group boxes parent controls of their own; their notifications belong to the
// main window.
LRESULT CALLBACK forwardToMainWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_VSCROLL:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    default:
      return Subclass::callOriginal(hwnd, message, wParam, lParam);
  }
}

HWND createControl(const ControlDef& def, HWND parent) {
  const wchar_t* className = L"BUTTON";
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (def.kind) {
    case Kind::GroupBox: style |= BS_GROUPBOX; break;
    case Kind::CheckBox: style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
    case Kind::Button: style |= BS_PUSHBUTTON | WS_TABSTOP; break;
    case Kind::Label:
    case Kind::TransparentLabel:
      className = L"STATIC";
      style |= SS_LEFT;
      break;
    case Kind::ReadOnlyNumber:
      className = L"EDIT";
      style |= ES_READONLY | ES_NUMBER | ES_CENTER | WS_BORDER;
      break;
    case Kind::Arrows:
      className = UPDOWN_CLASSW;
      style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
      break;
    case Kind::ComboBox:
      className = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      break;
    case Kind::ScriptEdit:
      return createScriptEdit(parent, def.id, 0, 0, 0, 0);
  }
  return CreateWindowExW(0, className, def.caption, style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), GetModuleHandleW(nullptr), nullptr);
}

HICON loadProgramIcon(int metricX, int metricY, UINT dpi) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAMSIK), IMAGE_ICON,
                                      systemMetricForDpi(metricX, dpi), systemMetricForDpi(metricY, dpi), 0));
}

}  // namespace

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::create(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &MainWindow::windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TAMSIK));
  RegisterClassExW(&windowClass);

  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
  comeForwardMessage_ = RegisterWindowMessageW(kComeForwardMessage);
  std::wstring title = texts::windowTitle();
  const LayoutSize size = smallestWindowSize(kBaseDpi);
  CreateWindowExW(0, kMainWindowClass, title.c_str(),
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
                  kWindowLeft, kWindowTop, size.width, size.height, nullptr, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void MainWindow::show(int showCommand) {
  // The visual style comes with the manifest and InitCommonControlsEx.
  // The shell's broadcast must reach the window also when it runs elevated,
  // and so must a second copy's request, which may run at a lower level.
  ChangeWindowMessageFilterEx(hwnd_, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(hwnd_, comeForwardMessage_, MSGFLT_ALLOW, nullptr);
  // Files dropped from Explorer, which runs at a lower integrity level than
  // an elevated Tamsik: the drop arrives as these three messages.
  for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
    ChangeWindowMessageFilterEx(hwnd_, message, MSGFLT_ALLOW, nullptr);
  }
  DragAcceptFiles(hwnd_, TRUE);
  trayIcon_ = std::make_unique<TrayIcon>(hwnd_, kTrayMessage, smallIcon_.get());
  // Windows may drop the hooks while the session is locked.
  sessions_ = std::make_unique<Win32SessionNotifications>(hwnd_);
  shell_ = std::make_unique<ShellPresence>(*trayIcon_, *sessions_);
  shell_->start(texts::kTrayTip);
  keepAskingTheShell();
  watchdogTimer_->start(kWatchdogPeriodMs);
  // Out of context: the events come to this thread between its messages,
  // from every process of the desktop, elevated ones included.
  gForegroundListener = this;
  foregroundEvents_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                          &MainWindow::onForegroundEvent, 0, 0,
                                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
  SetWindowTextW(control(control_id::标签3), texts::kHelpText);
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
}

void CALLBACK MainWindow::onForegroundEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD,
                                            DWORD) {
  MainWindow* self = gForegroundListener;
  if (event != EVENT_SYSTEM_FOREGROUND || !self || !self->application_) return;
  self->application_->onForegroundChanged(toWindowHandle(window));
}

HWND MainWindow::control(int id) const {
  if (!hwnd_) return nullptr;
  // Kept since creation: under Wine every GetDlgItem asks the server, and the
  // recorder reads options at each mouse event.
  auto found = controlWindows_.find(id);
  return found == controlWindows_.end() ? nullptr : found->second;
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = self->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      createControls();
      // The window opens at its smallest size, scaled for its monitor.
      const UINT dpi = dpiForWindow(hwnd_);
      dpi_ = dpi ? dpi : kBaseDpi;
      const LayoutSize size = smallestWindowSize(static_cast<int>(dpi_));
      SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi(dpi_);
      return 0;
    }
    case WM_CLOSE:
      closeProgram();
    case WM_DESTROY:
      onWindowDestroyed();
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SIZE:
      SendMessageW(control(control_id::状态条1), WM_SIZE, 0, 0);
      if (wParam != SIZE_MINIMIZED) {
        layOutControls();
        // Group boxes and the transparent label paint no background of their
        // own: without this, frames of the old size and doubled text stay.
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      return 0;
    case WM_GETMINMAXINFO: {
      const LayoutSize smallest = smallestWindowSize(static_cast<int>(dpi_));
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = POINT{smallest.width, smallest.height};
      return 0;
    }
    case WM_DPICHANGED: {
      // First, so that the suggested rectangle meets the new DPI's smallest size.
      dpi_ = HIWORD(wParam) ? HIWORD(wParam) : kBaseDpi;
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi(dpi_);
      return 0;
    }
    case WM_DROPFILES:
      onFilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == control(control_id::脚本框)) {
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(whiteBrush_.get());
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == control(control_id::透明标签1)) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_TIMER:
      if (wParam == static_cast<WPARAM>(control_id::时钟1)) onTimerTick();
      if (wParam == kWatchdogTimer && application_) application_->checkHooks();
      if (wParam == kShellTimer && shell_ && !shell_->retry()) shellTimer_->stop();
      return 0;
    case WM_POWERBROADCAST:
      // After a resume, as after an unlock, the hooks may be gone. Every
      // resume brings PBT_APMRESUMEAUTOMATIC; PBT_APMRESUMESUSPEND follows it
      // when the user woke the machine, and would only install them again.
      if (wParam == PBT_APMRESUMEAUTOMATIC && application_) application_->onResumeOrUnlock();
      break;
    case WM_WTSSESSION_CHANGE:
      if (wParam == WTS_SESSION_UNLOCK && application_) application_->onResumeOrUnlock();
      break;
    case kTrayMessage:
      // Only a minimised window is restored; a normal one stays as it is.
      // Merely passing the pointer over the icon restores nothing: the window
      // would take the focus from a script that runs in another program.
      if (LOWORD(lParam) != WM_MOUSEMOVE && IsIconic(hwnd_)) comeForward();
      return 0;
    default:
      if (message == taskbarCreatedMessage_ && taskbarCreatedMessage_ != 0 && shell_) {
        shell_->taskbarCreated();
        keepAskingTheShell();
        return 0;
      }
      if (message == comeForwardMessage_ && comeForwardMessage_ != 0) {
        comeForward();
        return TRUE;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::createControls() {
  whiteBrush_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  int groupBoxes = 0;
  for (const ControlDef& def : kControls) {
    HWND parent = def.parent ? control(def.parent) : hwnd_;
    HWND created = createControl(def, parent);
    controlWindows_[def.id] = created;
    if (def.kind == Kind::GroupBox) {
      groupBoxes_[groupBoxes++] = std::make_unique<Subclass>(created, forwardToMainWindow, 0, 0);
    }
    if (def.kind == Kind::CheckBox) SendMessageW(created, BM_SETCHECK, def.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  HWND arrows = control(control_id::编辑框1Arrows);
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control(control_id::编辑框1)), 0);
  SendMessageW(arrows, UDM_SETRANGE32, kSensitivityMin, kSensitivityMax);
  SendMessageW(arrows, UDM_SETPOS32, 0, kSensitivityStart);
  // Two digits barely fit into the box's 20 pixels without its margins.
  SendMessageW(control(control_id::编辑框1), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  SetWindowTextW(control(control_id::编辑框1), texts::k编辑框1);
  readSensitivity();

  controlWindows_[control_id::状态条1] =
      CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::状态条1)), GetModuleHandleW(nullptr),
                      nullptr);

  scriptBox_ = std::make_unique<EditScriptBox>(control(control_id::脚本框));
  windowList_ = std::make_unique<ComboWindowListBox>(control(control_id::组合框));
  loopOption_ = std::make_unique<CheckBoxMirror>(control(control_id::选择框2));
  时钟1_ = std::make_unique<WindowTimer>(hwnd_, control_id::时钟1);
  watchdogTimer_ = std::make_unique<WindowTimer>(hwnd_, kWatchdogTimer);
  shellTimer_ = std::make_unique<WindowTimer>(hwnd_, kShellTimer);
}

void MainWindow::applyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : kBaseDpi;
  layOutControls();

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  nonClientMetricsForDpi(metrics, dpi_);
  // The old fonts go once the controls have the new ones.
  FontHandle oldDefault = std::move(defaultFont_);
  FontHandle old标签2 = std::move(标签2Font_);
  defaultFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  std::wstring face = texts::标签2FontFace(fontInstalled);
  if (face.empty()) face = metrics.lfMessageFont.lfFaceName;
  标签2Font_.reset(CreateFontW(-scale(14, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               face.c_str()));
  for (const ControlDef& def : kControls) {
    HFONT font = def.id == control_id::标签2 ? 标签2Font_.get() : defaultFont_.get();
    SendMessageW(control(def.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  HWND status = control(control_id::状态条1);
  SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_.get()), TRUE);
  SendMessageW(status, SB_SETMINHEIGHT, scale(kStatusHeight, dpi_), 0);
  int panelEdges[] = {scale(kStatusPanel0Width, dpi_), scale(kStatusPanel0Width + kStatusPanel1Width, dpi_)};
  SendMessageW(status, SB_SETPARTS, std::size(panelEdges), reinterpret_cast<LPARAM>(panelEdges));
  SendMessageW(status, WM_SIZE, 0, 0);

  IconHandle oldBig = std::move(bigIcon_);
  IconHandle oldSmall = std::move(smallIcon_);
  bigIcon_.reset(loadProgramIcon(SM_CXICON, SM_CYICON, dpi_));
  smallIcon_.reset(loadProgramIcon(SM_CXSMICON, SM_CYSMICON, dpi_));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  if (trayIcon_) {
    trayIcon_->setImage(smallIcon_.get());
    shell_->imageChanged();
    keepAskingTheShell();
  }

  fitHelpText(metrics.lfMessageFont);
}

void MainWindow::layOutControls() {
  RECT client, outer;
  if (!GetClientRect(hwnd_, &client) || !GetWindowRect(hwnd_, &outer)) return;
  const LayoutSize nonClient{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
  const int dpi = static_cast<int>(dpi_);
  for (const ControlPlace& place : layOutMainWindow({client.right, client.bottom}, nonClient, dpi)) {
    // A combo box's window height includes its drop-down list; the box itself
    // takes the height its font needs.
    const int height = place.id == control_id::组合框 ? scaleToDpi(kComboDropHeight, dpi) : place.rect.height;
    SetWindowPos(control(place.id), nullptr, place.rect.left, place.rect.top, place.rect.width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::fitHelpText(LOGFONTW font) {
  // The help text's last line wraps; with some fonts (Microsoft YaHei UI has
  // tall lines) the seven lines are taller than the label at the default
  // size: then the label takes a smaller font, until all of them fit.
  HWND label = control(control_id::标签3);
  RECT room;
  GetClientRect(label, &room);
  HDC dc = GetDC(label);
  if (!dc) return;
  const int sign = font.lfHeight < 0 ? -1 : 1;
  const int smallest = scaleToDpi(kSmallestHelpFont, static_cast<int>(dpi_));
  FontHandle fitting;
  for (;;) {
    fitting.reset(CreateFontIndirectW(&font));
    HGDIOBJ old = SelectObject(dc, fitting.get());
    RECT needed{0, 0, room.right, 0};
    DrawTextW(dc, texts::kHelpText, -1, &needed, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    if (needed.bottom <= room.bottom || font.lfHeight * sign <= smallest) break;
    font.lfHeight -= sign;
  }
  ReleaseDC(label, dc);
  FontHandle previous = std::move(helpFont_);
  helpFont_ = std::move(fitting);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(helpFont_.get()), TRUE);
}

void MainWindow::onFilesDropped(HDROP drop) {
  std::vector<std::wstring> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
  for (UINT i = 0; i < paths.size(); ++i) {
    paths[i].resize(DragQueryFileW(drop, i, nullptr, 0));
    DragQueryFileW(drop, i, paths[i].data(), static_cast<UINT>(paths[i].size() + 1));
  }
  DragFinish(drop);
  if (application_) application_->openDroppedFiles(paths);
}

void MainWindow::closeProgram() {
  // Once the hooks, the icon and the runs are let go of, nothing is left to
  // save; taking apart the window and a script box of some megabytes would
  // only keep the user waiting (seconds under Wine).
  watchdogTimer_->stop();
  shellTimer_->stop();
  // The shell answers for the icon when it gets round to it (Wine's tray
  // without a window manager takes 2 s to hide itself first): the close
  // waits for it a while, beside the runs, and then goes anyway.
  KernelHandle iconGone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (shell_ && iconGone) {
    std::thread([shell = shell_.get(), done = iconGone.get()] {
      shell->removeIcon();
      SetEvent(done);
    }).detach();
  }
  const DWORD started = GetTickCount();
  if (application_) application_->onWindowClosing(std::chrono::milliseconds(kIconPatienceMs));
  const DWORD waited = GetTickCount() - started;
  if (iconGone) WaitForSingleObject(iconGone.get(), waited < kIconPatienceMs ? kIconPatienceMs - waited : 0);
  ExitProcess(0);
}

void MainWindow::onWindowDestroyed() {
  watchdogTimer_->stop();
  foregroundEvents_.reset();
  gForegroundListener = nullptr;
  shellTimer_->stop();
  if (shell_) shell_->stop();
  // A player that does not end in time must not keep the process alive, nor
  // outlive the objects it plays with.
  if (application_ && !application_->onWindowClosing(std::chrono::seconds(1))) ExitProcess(0);
}

void MainWindow::onCommand(int id, int notification) {
  if (id == control_id::编辑框1 && notification == EN_CHANGE) {
    readSensitivity();
    return;
  }
  if (notification != BN_CLICKED || !application_) return;
  switch (id) {
    case control_id::按钮2:
      application_->clearScript();
      break;
    case control_id::按钮1:
      application_->refreshWindowList();
      break;
    case control_id::打开脚本按钮:
      application_->openScript();
      break;
    case control_id::保存脚本按钮:
      application_->saveScript();
      break;
    default:
      break;
  }
}

void MainWindow::onTimerTick() {
  if (!shell_ || !application_) return;
  // The tip comes back once nothing is on; meanwhile the icon alone.
  shell_->apply(application_->onTimerTick() ? texts::kTrayTip : nullptr);
  keepAskingTheShell();
}

void MainWindow::keepAskingTheShell() {
  if (shell_->missing() && !shellTimer_->running()) shellTimer_->start(kShellRetryMs);
}

void MainWindow::comeForward() {
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
}

bool MainWindow::isChecked(CheckBox box) {
  HWND checkBox = control(kCheckBoxIds[static_cast<int>(box)]);
  return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::uncheck(CheckBox box) {
  SendMessageW(control(kCheckBoxIds[static_cast<int>(box)]), BM_SETCHECK, BST_UNCHECKED, 0);
}

void MainWindow::showError(const std::wstring& text) {
  // No owner: the main window may be minimised, and the message must be seen.
  MessageBoxW(nullptr, text.c_str(), texts::kProductName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

void MainWindow::setStatusText(StatusPanel panel, const std::wstring& text) {
  std::wstring& shown = statusTexts_[static_cast<int>(panel)];
  if (text == shown) return;
  shown = text;
  SendMessageW(control(control_id::状态条1), SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(shown.c_str()));
}

std::wstring MainWindow::sensitivityText() { return sensitivity_; }

// The box tells every change of its text, the arrows' steps and WM_SETTEXT
// from anywhere included; reading it at each mouse event would cost a
// round of subclass lookups of the up-down control under Wine.
void MainWindow::readSensitivity() {
  wchar_t text[32] = {};
  GetWindowTextW(control(control_id::编辑框1), text, static_cast<int>(std::size(text)));
  sensitivity_ = text;
}

void MainWindow::setTimerPeriod(std::int32_t ms) {
  if (ms > 0) {
    时钟1_->start(static_cast<UINT>(ms));
  } else {
    时钟1_->stop();
  }
}

void MainWindow::minimiseWindow() { ShowWindow(hwnd_, SW_MINIMIZE); }
