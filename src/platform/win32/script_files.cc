#include "platform/win32/script_files.h"

#include <commdlg.h>

#include "platform/win32/file_replacement.h"
#include "platform/win32/handles.h"

#include <algorithm>
#include <atomic>
#include <climits>

namespace {

constexpr UINT kGbkCodePage = 936;
constexpr wchar_t kRawByteBase = 0xF700;
constexpr DWORD kMaxIoChunk = 1u << 20;

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

// The full path in the form that lifts MAX_PATH: \\?\C:\... or
// \\?\UNC\server\share\...; empty when there is no full path.
std::wstring longPath(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (length == 0 || length >= full.size()) return {};
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// A short name in the target's folder: the temporary file lies on the same
// volume, and a long target name does not make its name too long.
std::wstring temporaryPathBeside(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.find_last_of(L'\\');
  return path.substr(0, slash + 1) + L"~tsk" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + L".tmp";
}

static_assert(system_error::fileNotFound == ERROR_FILE_NOT_FOUND && system_error::accessDenied == ERROR_ACCESS_DENIED &&
              system_error::sharingViolation == ERROR_SHARING_VIOLATION &&
              system_error::lockViolation == ERROR_LOCK_VIOLATION && system_error::fileExists == ERROR_FILE_EXISTS &&
              system_error::alreadyExists == ERROR_ALREADY_EXISTS &&
              system_error::deletePending == ERROR_DELETE_PENDING &&
              system_error::unableToRemoveReplaced == ERROR_UNABLE_TO_REMOVE_REPLACED &&
              system_error::unableToMoveReplacement == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
              system_error::unableToMoveReplacement2 == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
static_assert(file_attribute::readOnly == FILE_ATTRIBUTE_READONLY && file_attribute::hidden == FILE_ATTRIBUTE_HIDDEN &&
              file_attribute::system == FILE_ATTRIBUTE_SYSTEM && file_attribute::directory == FILE_ATTRIBUTE_DIRECTORY &&
              file_attribute::archive == FILE_ATTRIBUTE_ARCHIVE && file_attribute::normal == FILE_ATTRIBUTE_NORMAL &&
              file_attribute::notContentIndexed == FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);

std::uint32_t lastErrorUnless(BOOL done) { return done ? system_error::none : GetLastError(); }

class Win32ReplacementCalls : public ReplacementCalls {
 public:
  std::uint32_t attributesOf(const std::wstring& path, std::uint32_t& attributes) override {
    attributes = GetFileAttributesW(path.c_str());
    return lastErrorUnless(attributes != INVALID_FILE_ATTRIBUTES);
  }
  std::uint32_t setAttributes(const std::wstring& path, std::uint32_t attributes) override {
    return lastErrorUnless(SetFileAttributesW(path.c_str(), attributes));
  }
  std::uint32_t replace(const std::wstring& target, const std::wstring& copy, const std::wstring& backup) override {
    return lastErrorUnless(ReplaceFileW(target.c_str(), copy.c_str(), backup.c_str(),
                                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
  }
  std::uint32_t move(const std::wstring& from, const std::wstring& to) override {
    return lastErrorUnless(MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH));
  }
  std::uint32_t remove(const std::wstring& path) override { return lastErrorUnless(DeleteFileW(path.c_str())); }
};

class Win32PendingWrite : public PendingWrite {
 public:
  Win32PendingWrite(std::wstring target, std::wstring copy) : target_(std::move(target)), copy_(std::move(copy)) {}
  ~Win32PendingWrite() override {
    if (result_ != WriteResult::written) DeleteFileW(copy_.c_str());
    if (!leftover_.empty()) DeleteFileW(leftover_.c_str());
  }
  WriteResult replaceTarget() override {
    if (result_ == WriteResult::targetBusy) {
      Win32ReplacementCalls calls;
      result_ = replaceStep(calls, target_, copy_, temporaryPathBeside(target_), leftover_);
    }
    return result_;
  }

 private:
  std::wstring target_;
  std::wstring copy_;
  std::wstring leftover_;
  WriteResult result_ = WriteResult::targetBusy;
};

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxIoChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Code page 936 as the system has it, without replacement characters: false
// when some part does not convert.
bool strictDecode(std::string_view bytes, std::wstring& text) {
  int length = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                   nullptr, 0);
  if (length <= 0) return false;
  text.resize(static_cast<std::size_t>(length));
  return MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                             text.data(), length) == length;
}

// Encodes without best-fit look-alikes; false when a character has no bytes
// of its own.
bool strictEncode(std::wstring_view text, std::string& bytes) {
  bytes.clear();
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, &usedDefault);
  if (length <= 0) return false;
  bytes.resize(static_cast<std::size_t>(length));
  length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                               bytes.data(), length, nullptr, &usedDefault);
  return length == static_cast<int>(bytes.size()) && !usedDefault;
}

bool isRawByte(wchar_t c) { return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF; }

}  // namespace

std::optional<std::wstring> Win32FileDialogs::chooseFileToOpen(const FileDialogOptions& options) {
  return runFileDialog(owner_, options, false);
}

std::optional<std::wstring> Win32FileDialogs::chooseFileToSave(const FileDialogOptions& options) {
  return runFileDialog(owner_, options, true);
}

std::optional<std::string> Win32FileStore::readAll(const std::wstring& path) {
  const std::wstring full = longPath(path);
  KernelHandle file = adoptFile(CreateFileW((full.empty() ? path : full).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  // The text functions take int lengths.
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kMaxIoChunk));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file shrank while it was read
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::unique_ptr<PendingWrite> Win32FileStore::prepareWrite(const std::wstring& path, std::string_view bytes) {
  const std::wstring target = longPath(path);
  if (target.empty()) return nullptr;
  std::wstring copy = temporaryPathBeside(target);
  KernelHandle file =
      adoptFile(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
  written = closeNow(file) && written;
  if (!written) {
    DeleteFileW(copy.c_str());
    return nullptr;
  }
  return std::make_unique<Win32PendingWrite>(target, std::move(copy));
}

std::wstring GbkCodec::decode(std::string_view bytes) {
  // Byte by byte from tables rather than one MultiByteToWideChar call: the
  // system's decoder would replace bad bytes and lose their places.
  buildTables();
  std::wstring text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      text += static_cast<wchar_t>(byte);
      ++i;
      continue;
    }
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < bytes.size()) {
      auto trail = static_cast<unsigned char>(bytes[i + 1]);
      if (wchar_t c = pairs_[(byte - 0x81) * 256u + trail]) {
        text += c;
        i += 2;
        continue;
      }
    }
    wchar_t single = singles_[byte - 0x80u];
    text += single ? single : static_cast<wchar_t>(kRawByteBase + byte);
    ++i;
  }
  return text;
}

std::optional<std::string> GbkCodec::encode(std::wstring_view text) {
  std::string bytes;
  std::string run;
  std::size_t start = 0;
  auto flushRun = [&](std::size_t end) {
    if (end <= start) return true;
    if (!strictEncode(text.substr(start, end - start), run)) return false;
    bytes += run;
    return true;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isRawByte(text[i])) continue;
    if (!flushRun(i)) return std::nullopt;
    bytes += static_cast<char>(text[i] - kRawByteBase);
    start = i + 1;
  }
  if (!flushRun(text.size())) return std::nullopt;
  return bytes;
}

void GbkCodec::buildTables() {
  if (!singles_.empty()) return;
  singles_.assign(0x80, L'\0');
  pairs_.assign(0x7E * 256, L'\0');
  auto roundTrips = [](const char* bytes, int length, wchar_t& c) {
    std::wstring text;
    std::string back;
    if (!strictDecode(std::string_view(bytes, static_cast<std::size_t>(length)), text) || text.size() != 1) {
      return false;
    }
    if (!strictEncode(text, back) || back != std::string_view(bytes, static_cast<std::size_t>(length))) return false;
    c = text[0];
    return !isRawByte(c);
  };
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    char single[1] = {static_cast<char>(byte)};
    roundTrips(single, 1, singles_[static_cast<std::size_t>(byte - 0x80)]);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      roundTrips(pair, 2, pairs_[static_cast<std::size_t>((lead - 0x81) * 256 + trail)]);
    }
  }
}
