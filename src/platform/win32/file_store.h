#pragma once

#include "platform/script_files.h"

// Whole files. A write goes to a temporary file of a short name in the
// target's folder and is flushed to disk; ReplaceFileW then puts it in the
// place of an existing target, keeping what the target has besides its
// bytes, and MoveFileExW in the place of a missing one. Paths go to the
// system in their long form (\\?\), so a target near MAX_PATH works,
// temporary and backup files and all.
class Win32FileStore : public FileStore {
 public:
  std::optional<std::string> readAll(const std::wstring& path) override;
  std::unique_ptr<PendingWrite> prepareWrite(const std::wstring& path, std::string_view bytes) override;
};
