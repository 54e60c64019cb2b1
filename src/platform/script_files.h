#pragma once

// What opening and saving a script needs from the system: the file dialogs,
// whole files, and the text encoding of script files. Abstract so that they
// can be mocked out for tests.

#include <optional>
#include <string>
#include <string_view>

struct FileDialogOptions {
  std::wstring filterName;     // shown in the dialog's type list
  std::wstring filterPattern;  // e.g. "*.sbj"
  std::wstring defaultExtension;
};

// Window thread: the dialogs are modal to the main window.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path of an existing file; nothing when the user cancelled.
  virtual std::optional<std::wstring> chooseFileToOpen(const FileDialogOptions& options) = 0;
  // The chosen path; the dialog has asked before an existing file is
  // replaced. Nothing when the user cancelled.
  virtual std::optional<std::wstring> chooseFileToSave(const FileDialogOptions& options) = 0;
};

enum class WriteResult {
  written,
  // Another program held the target for the moment (a virus scanner, a sync
  // client, Controlled Folder Access): the same write may succeed soon.
  targetBusy,
  failed,
};

// Whole files. Any thread.
class FileStore {
 public:
  virtual ~FileStore() = default;
  // The file's bytes; nothing when it cannot be read.
  virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
  // Gives the file exactly these bytes, all at once: a write that is not
  // written leaves whatever was at the path before as it was, and nothing
  // beside it.
  virtual WriteResult replaceAll(const std::wstring& path, std::string_view bytes) = 0;
};

// The encoding of script files on disk. Any thread.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::wstring decode(std::string_view bytes) = 0;
  // Nothing when the encoding cannot hold every character of the text.
  virtual std::optional<std::string> encode(std::wstring_view text) = 0;
};
