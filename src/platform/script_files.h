#pragma once

// What opening and saving a script needs from the system: the file dialogs,
// whole files, and the text encoding of script files. Abstract so that they
// can be mocked out for tests.

#include <memory>
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
  // Another program held the target or the written copy for the moment (a
  // virus scanner, a sync client), or a delete of the target was still
  // pending: the same replacement may succeed soon.
  targetBusy,
  failed,
};

// New bytes for a file, written whole and flushed to a file of their own
// beside it, not yet in its place. One thread at a time.
class PendingWrite {
 public:
  // Removes the written copy unless it has taken the target's place.
  virtual ~PendingWrite() = default;
  // Puts the written copy in the target's place in one step. An existing
  // target keeps its attributes, creation time and access rights and only
  // its bytes change; a read-only one is refused at once. A replacement that
  // is not written leaves the target as it was. After written or failed,
  // every further call gives the same answer and touches nothing.
  virtual WriteResult replaceTarget() = 0;
};

// Whole files. Any thread.
class FileStore {
 public:
  virtual ~FileStore() = default;
  // The file's bytes; nothing when it cannot be read.
  virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
  // Writes the bytes beside the file at the path, which stays as it is;
  // nothing, and nothing written, when they cannot be written there (no
  // room, no folder, no rights).
  virtual std::unique_ptr<PendingWrite> prepareWrite(const std::wstring& path, std::string_view bytes) = 0;
};

// The encoding of script files on disk. Any thread.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual std::wstring decode(std::string_view bytes) = 0;
  // Nothing when the encoding cannot hold every character of the text.
  virtual std::optional<std::string> encode(std::wstring_view text) = 0;
};
