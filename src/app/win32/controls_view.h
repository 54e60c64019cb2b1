#pragma once

#include <windows.h>

#include <string>

#include "app/win32/control_table.h"
#include "platform/controls.h"
#include "platform/win32/handles.h"

// The options, messages and timer of the main window as the logic sees
// them, over its controls. Made once the controls exist.
class ControlsView : public Controls {
 public:
  ControlsView(HWND window, const ControlTable& controls);

  bool isChecked(CheckBox box) override;
  void uncheck(CheckBox box) override;
  void showError(const std::wstring& text) override;
  void setStatusText(StatusPanel panel, const std::wstring& text) override;
  std::wstring sensitivityText() override { return sensitivity_; }
  void setTimerPeriod(std::int32_t ms) override;
  void minimiseWindow() override;

  // 编辑框1 tells every change of its text, the arrows' steps and WM_SETTEXT
  // from anywhere included; reading it at each mouse event instead would
  // cost a round of subclass lookups of the up-down control under Wine.
  void sensitivityChanged();

 private:
  HWND window_;
  const ControlTable& controls_;
  WindowTimer 时钟1_;  // the idle timer of the tray icon
  std::wstring sensitivity_;
  std::wstring statusTexts_[2];  // as last set, so that an unchanged text is not redrawn
};
