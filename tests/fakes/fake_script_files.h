#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "fakes/fake_platform.h"
#include "platform/script_files.h"

// Answers each dialog with a preset path, or cancels when there is none.
class FakeFileDialogs : public FileDialogs {
 public:
  explicit FakeFileDialogs(CallLog& log) : log_(log) {}
  std::optional<std::wstring> chooseFileToOpen(const FileDialogOptions& options) override {
    log_.push_back("open dialog");
    lastOptions = options;
    return openAnswer;
  }
  std::optional<std::wstring> chooseFileToSave(const FileDialogOptions& options) override {
    log_.push_back("save dialog");
    lastOptions = options;
    return saveAnswer;
  }

  std::optional<std::wstring> openAnswer;
  std::optional<std::wstring> saveAnswer;
  FileDialogOptions lastOptions;

 private:
  CallLog& log_;
};

// Files in memory. A write goes to a temporary file beside the target, which
// replaces the target only once it is complete, as the real store does. A
// target that another program holds makes the move fail, as a sharing
// violation does on Windows: the temporary file goes, the target stays.
class FakeFileStore : public FileStore {
 public:
  explicit FakeFileStore(CallLog& log) : log_(log) {}
  std::optional<std::string> readAll(const std::wstring& path) override {
    log_.push_back("read");
    if (unreadable.count(path) || !files.count(path)) return std::nullopt;
    return files[path];
  }
  WriteResult replaceAll(const std::wstring& path, std::string_view bytes) override {
    log_.push_back(clockUs_ ? "write " + std::to_string(bytes.size()) + " at " + msText(*clockUs_)
                            : "write " + std::to_string(bytes.size()));
    const std::wstring temp = path + L".tmp";
    files[temp] = std::string(bytes.substr(0, failAfterBytes.value_or(bytes.size())));
    if (failAfterBytes && *failAfterBytes < bytes.size()) {
      files.erase(temp);
      return WriteResult::failed;
    }
    if (auto held = heldFor.find(path); held != heldFor.end() && held->second > 0) {
      --held->second;
      files.erase(temp);
      return WriteResult::targetBusy;
    }
    files[path] = files[temp];
    files.erase(temp);
    return WriteResult::written;
  }
  // Logs each write with the moment on this clock.
  void logTimesOf(const std::int64_t* clockUs) { clockUs_ = clockUs; }

  std::map<std::wstring, std::string> files;
  std::set<std::wstring> unreadable;
  // A write that breaks off after this many bytes, as on a full disk.
  std::optional<std::size_t> failAfterBytes;
  // How many more writes find the target held by another program.
  std::map<std::wstring, int> heldFor;

 private:
  CallLog& log_;
  const std::int64_t* clockUs_ = nullptr;
};

// One character per byte, its value the byte's; a text with a character
// above 0xFF does not encode.
class FakeTextCodec : public TextCodec {
 public:
  std::wstring decode(std::string_view bytes) override {
    std::wstring text;
    for (char byte : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    return text;
  }
  std::optional<std::string> encode(std::wstring_view text) override {
    std::string bytes;
    for (wchar_t c : text) {
      if (c > 0xFF) return std::nullopt;
      bytes += static_cast<char>(c);
    }
    return bytes;
  }
};
