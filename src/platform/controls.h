#pragma once

#include <cstdint>
#include <string>

// The check boxes of the main window.
enum class CheckBox {
  选择框1,  // record mouse moves
  选择框2,  // loop the script
  选择框3,  // minimise while recording
  选择框4,  // minimise while running
  选择框5,  // run only under the chosen window
  选择框6,  // record keys
  选择框7,  // record mouse buttons
};

// The panels of 状态条1: the cursor position, and messages.
enum class StatusPanel { cursor = 0, message = 1 };

// What the logic reads and sets in the main window and its controls. Option
// values live only there and are read at the moment of use. Abstract so that
// it can be mocked out for tests.
//
// Window thread, but for showError.
class Controls {
 public:
  virtual ~Controls() = default;
  virtual bool isChecked(CheckBox box) = 0;
  virtual void uncheck(CheckBox box) = 0;
  // Any thread: a modal message with the error icon, owned by no window;
  // returns when the user has closed it.
  virtual void showError(const std::wstring& text) = 0;
  virtual void setStatusText(StatusPanel panel, const std::wstring& text) = 0;
  // The text of 编辑框1, the mouse-move sensitivity in milliseconds.
  virtual std::wstring sensitivityText() = 0;
  // Period of 时钟1 in milliseconds; 0 stops it.
  virtual void setTimerPeriod(std::int32_t ms) = 0;
  virtual void minimiseWindow() = 0;
};
