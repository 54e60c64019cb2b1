#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>

#include "platform/script_box.h"
#include "platform/win32/check_box_mirror.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_system.h"

// The main window's controls, made in one go from a table that gives each
// its kind, parent, caption and start value; where they stand is the
// layout's. Besides the handles it keeps what the logic reads of them
// through its interfaces: the script box, the window list, and the loop
// option's mirror for the player's thread. Window thread.
class ControlTable {
 public:
  ControlTable() = default;
  ControlTable(const ControlTable&) = delete;
  ControlTable& operator=(const ControlTable&) = delete;

  // Every control below the window, the status bar included.
  void create(HWND window);

  // A control by its identifier, wherever it stands; nullptr for none. Kept
  // since creation: under Wine every GetDlgItem asks the server, and the
  // recorder reads options at each mouse event.
  HWND get(int id) const;
  const std::map<int, HWND>& all() const { return windows_; }

  ScriptBox& scriptBox() { return *scriptBox_; }
  WindowListBox& windowList() { return *windowList_; }
  const std::atomic<bool>& loopOption() const { return loopOption_->checked(); }

 private:
  std::map<int, HWND> windows_;
  std::unique_ptr<Subclass> groupBoxes_[2];
  std::unique_ptr<EditScriptBox> scriptBox_;
  std::unique_ptr<ComboWindowListBox> windowList_;
  std::unique_ptr<CheckBoxMirror> loopOption_;  // 选择框2, "循环执行脚本"
};
