#include "app/win32/controls_view.h"

#include <commctrl.h>

#include <iterator>

#include "app/control_ids.h"
#include "app/texts.h"

namespace {

constexpr int kCheckBoxIds[] = {control_id::选择框1, control_id::选择框2, control_id::选择框3, control_id::选择框4,
                                control_id::选择框5, control_id::选择框6, control_id::选择框7};

}  // namespace

ControlsView::ControlsView(HWND window, const ControlTable& controls)
    : window_(window), controls_(controls), 时钟1_(window, control_id::时钟1) {
  sensitivityChanged();
}

bool ControlsView::isChecked(CheckBox box) {
  return SendMessageW(controls_.get(kCheckBoxIds[static_cast<int>(box)]), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ControlsView::uncheck(CheckBox box) {
  SendMessageW(controls_.get(kCheckBoxIds[static_cast<int>(box)]), BM_SETCHECK, BST_UNCHECKED, 0);
}

void ControlsView::showError(const std::wstring& text) {
  // No owner: the main window may be minimised, and the message must be seen.
  MessageBoxW(nullptr, text.c_str(), texts::kProductName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

void ControlsView::setStatusText(StatusPanel panel, const std::wstring& text) {
  std::wstring& shown = statusTexts_[static_cast<int>(panel)];
  if (text == shown) return;
  shown = text;
  SendMessageW(controls_.get(control_id::状态条1), SB_SETTEXTW, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(shown.c_str()));
}

void ControlsView::setTimerPeriod(std::int32_t ms) {
  if (ms > 0) {
    时钟1_.start(static_cast<UINT>(ms));
  } else {
    时钟1_.stop();
  }
}

void ControlsView::minimiseWindow() { ShowWindow(window_, SW_MINIMIZE); }

void ControlsView::sensitivityChanged() {
  wchar_t text[32] = {};
  GetWindowTextW(controls_.get(control_id::编辑框1), text, static_cast<int>(std::size(text)));
  sensitivity_ = text;
}
