#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

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

// GBK, code page 936 whatever the system's ANSI code page, made lossless:
// a byte that does not begin a character which encodes back to the same
// bytes decodes to the private-use character U+F700 + byte, and that
// character encodes back to the byte. So any file opened and saved again
// keeps its bytes. Code page 936 maps nothing to U+F700..U+F7FF, so no GBK
// character is mistaken for such a byte. A text with a character that GBK
// lacks does not encode at all.
class GbkCodec : public TextCodec {
 public:
  std::wstring decode(std::string_view bytes) override;
  std::optional<std::string> encode(std::wstring_view text) override;

 private:
  // Characters by their bytes, 0 where the bytes are no character that
  // encodes back to them: one table for single bytes 0x80..0xFF, one for
  // lead byte 0x81..0xFE and trail byte 0x00..0xFF. Built on first need.
  void buildTables();

  std::vector<wchar_t> singles_;
  std::vector<wchar_t> pairs_;
};
