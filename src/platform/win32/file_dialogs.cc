#include "platform/win32/file_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace {

std::optional<std::wstring> runFileDialog(HWND owner, const FileDialogOptions& options, bool save) {
  std::wstring filter = options.filterName + L'\0' + options.filterPattern + L'\0' + L'\0';
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = options.defaultExtension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return std::wstring(file.data());
}

}  // namespace

std::optional<std::wstring> Win32FileDialogs::chooseFileToOpen(const FileDialogOptions& options) {
  return runFileDialog(owner_, options, false);
}

std::optional<std::wstring> Win32FileDialogs::chooseFileToSave(const FileDialogOptions& options) {
  return runFileDialog(owner_, options, true);
}
