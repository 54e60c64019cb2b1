#include "platform/win32/file_store.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "platform/win32/file_replacement.h"
#include "platform/win32/handles.h"

namespace {

constexpr DWORD kMaxIoChunk = 1u << 20;

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

}  // namespace

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
