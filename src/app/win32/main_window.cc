#include "app/win32/main_window.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/resource_ids.h"
#include "app/texts.h"
#include "app/window_layout.h"

namespace {

// Where the main window opens at 96 DPI; its size is the layout's.
constexpr int kWindowLeft = 50, kWindowTop = 50;
// How long the close waits for the runs and the shell, in all.
constexpr DWORD kClosePatienceMs = 500;

}  // namespace

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

  std::wstring title = texts::windowTitle();
  const LayoutSize size = smallestWindowSize(kLayoutBaseDpi);
  CreateWindowExW(0, kMainWindowClass, title.c_str(),
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
                  kWindowLeft, kWindowTop, size.width, size.height, nullptr, nullptr, instance, this);
  return hwnd() != nullptr;
}

void MainWindow::show(int showCommand) {
  // The visual style comes with the manifest and InitCommonControlsEx.
  DragAcceptFiles(hwnd(), TRUE);
  events_ = std::make_unique<SystemEvents>(hwnd(), *application_, look_->smallIcon());
  SetWindowTextW(control(control_id::标签3), texts::kHelpText);
  ShowWindow(hwnd(), showCommand);
  UpdateWindow(hwnd());
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = self->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    static_cast<void>(self->hwnd_.release());
  }
  return result;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; events_ && application_ && events_->handle(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CREATE:
      controls_.create(hwnd());
      view_ = std::make_unique<ControlsView>(hwnd(), controls_);
      look_ = std::make_unique<WindowLook>(hwnd(), controls_);
      look_->open();
      return 0;
    case WM_CLOSE:
      // Once the hooks, the icon and the runs are let go of, nothing is left
      // to save; taking apart the window and a script box of some megabytes
      // would only keep the user waiting (seconds under Wine).
      shutDown();
      ExitProcess(0);
    case WM_DESTROY:
      // A player that does not end in time must not keep the process alive,
      // nor outlive the objects it plays with.
      if (!shutDown()) ExitProcess(0);
      PostQuitMessage(0);
      return 0;
    case WM_QUERYENDSESSION:
      // Asked before the other programs' "save changes?": no run types on
      // into them.
      if (application_) application_->onSessionEnding();
      return TRUE;
    case WM_ENDSESSION:
      // Windows may end the process at any moment after this answer.
      if (wParam) shutDown();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SIZE:
      if (look_) look_->resized(wParam);
      return 0;
    case WM_GETMINMAXINFO:
      if (look_) {
        const LayoutSize smallest = look_->smallestSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{smallest.width, smallest.height};
      }
      return 0;
    case WM_DPICHANGED:
      look_->dpiChanged(wParam, lParam);
      if (events_) events_->iconChanged(look_->smallIcon());
      return 0;
    case WM_DROPFILES:
      onFilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = look_ ? look_->colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)) : nullptr) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wParam, lParam);
}

bool MainWindow::shutDown() {
  if (shutDown_) return true;
  shutDown_ = true;
  const DWORD started = GetTickCount();
  if (events_) events_->stopListening();
  const bool runsEnded = !application_ || application_->onWindowClosing(std::chrono::milliseconds(kClosePatienceMs));
  const DWORD waited = GetTickCount() - started;
  if (events_) events_->waitForShell(waited < kClosePatienceMs ? kClosePatienceMs - waited : 0);
  return runsEnded;
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

void MainWindow::onCommand(int id, int notification) {
  if (id == control_id::编辑框1 && notification == EN_CHANGE) {
    if (view_) view_->sensitivityChanged();
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
