#pragma once

#include <windows.h>

#include "platform/script_files.h"

// The common open and save dialogs, modal to the owner window.
class Win32FileDialogs : public FileDialogs {
 public:
  explicit Win32FileDialogs(HWND owner) : owner_(owner) {}
  std::optional<std::wstring> chooseFileToOpen(const FileDialogOptions& options) override;
  std::optional<std::wstring> chooseFileToSave(const FileDialogOptions& options) override;

 private:
  HWND owner_;
};
