#pragma once

#include <cstdint>
#include <map>
#include <memory>
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

// Files in memory, replaced as Windows replaces a file: the bytes go to a
// copy beside the target, which takes the target's place only once it is
// complete and keeps the target's attributes and creation time. A target
// that another program holds without letting it be deleted refuses the
// replacement, as a sharing violation does; a read-only one refuses it at
// once. The copy goes with its pending write.
class FakeFileStore : public FileStore {
 public:
  // Attribute bits as Windows numbers them.
  static constexpr std::uint32_t kReadOnly = 0x1;
  static constexpr std::uint32_t kHidden = 0x2;
  static constexpr std::uint32_t kArchive = 0x20;
  struct Properties {
    std::uint32_t attributes = kArchive;
    std::int64_t createdUs = 0;
    bool operator==(const Properties&) const = default;
  };

  explicit FakeFileStore(CallLog& log) : log_(log) {}
  std::optional<std::string> readAll(const std::wstring& path) override {
    log_.push_back("read");
    if (unreadable.count(path) || !files.count(path)) return std::nullopt;
    return files[path];
  }
  std::unique_ptr<PendingWrite> prepareWrite(const std::wstring& path, std::string_view bytes) override {
    log_.push_back("write " + std::to_string(bytes.size()));
    const std::wstring copy = path + L"~" + std::to_wstring(++copies_) + L".tmp";
    if (failAfterBytes && *failAfterBytes < bytes.size()) return nullptr;
    files[copy] = std::string(bytes);
    return std::make_unique<Pending>(*this, path, copy);
  }
  // Logs each replacement with the moment on this clock.
  void logTimesOf(const std::int64_t* clockUs) { clockUs_ = clockUs; }
  // The properties of a file that is there; a file that has none set has
  // the defaults.
  Properties propertiesOf(const std::wstring& path) const {
    auto found = properties.find(path);
    return found == properties.end() ? Properties{} : found->second;
  }

  std::map<std::wstring, std::string> files;
  std::map<std::wstring, Properties> properties;
  std::set<std::wstring> unreadable;
  // A write that breaks off after this many bytes, as on a full disk.
  std::optional<std::size_t> failAfterBytes;
  // How many more replacements find the target held by another program.
  std::map<std::wstring, int> heldFor;

 private:
  class Pending : public PendingWrite {
   public:
    Pending(FakeFileStore& store, std::wstring target, std::wstring copy)
        : store_(store), target_(std::move(target)), copy_(std::move(copy)) {}
    ~Pending() override {
      if (result_ != WriteResult::written) store_.remove(copy_);
    }
    WriteResult replaceTarget() override {
      store_.log_.push_back(store_.clockUs_ ? "replace at " + msText(*store_.clockUs_) : "replace");
      if (result_ == WriteResult::targetBusy) result_ = store_.replace(target_, copy_);
      return result_;
    }

   private:
    FakeFileStore& store_;
    std::wstring target_;
    std::wstring copy_;
    WriteResult result_ = WriteResult::targetBusy;
  };

  WriteResult replace(const std::wstring& target, const std::wstring& copy) {
    if (files.count(target)) {
      if (propertiesOf(target).attributes & kReadOnly) return WriteResult::failed;
      if (auto held = heldFor.find(target); held != heldFor.end() && held->second > 0) {
        --held->second;
        return WriteResult::targetBusy;
      }
    } else {
      properties[target] = {};
    }
    files[target] = files[copy];
    remove(copy);
    return WriteResult::written;
  }
  void remove(const std::wstring& path) {
    files.erase(path);
    properties.erase(path);
  }

  CallLog& log_;
  const std::int64_t* clockUs_ = nullptr;
  unsigned copies_ = 0;
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
