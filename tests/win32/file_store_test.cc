#include "platform/win32/file_store.h"

#include <gtest/gtest.h>

#include "platform/file_store_contract.h"
#include "platform/win32/handles.h"
#include "support/wine_desktop.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

// Files in a directory of their own under the temporary directory: the
// contract of every file store, then what only the real one meets.
struct Win32FileStoreFactory {
  FileStore& store() { return files; }
  std::wstring path(const wchar_t* name) { return (temporary / name).wstring(); }
  std::vector<std::wstring> names() {
    std::vector<std::wstring> found;
    for (const auto& entry : std::filesystem::directory_iterator(temporary.path())) {
      found.push_back(entry.path().filename().wstring());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
  // Open for reading, sharing all but delete: a rename over it fails.
  void hold(const wchar_t* name) {
    held.reset(CreateFileW(path(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  void release() { held.reset(); }
  void setTraits(const wchar_t* name, const FileTraits& traits) {
    KernelHandle file = adoptFile(CreateFileW(path(name).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const FILETIME created = fileTime(traits.createdUs);
    ASSERT_TRUE(file && SetFileTime(file.get(), &created, nullptr, nullptr));
    file.reset();
    ASSERT_TRUE(SetFileAttributesW(path(name).c_str(), (traits.readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                                                           (traits.hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
                                                           FILE_ATTRIBUTE_ARCHIVE));
  }
  FileTraits traits(const wchar_t* name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path(name).c_str(), GetFileExInfoStandard, &data)) return {};
    const ULARGE_INTEGER created{{data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime}};
    return {(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0, (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
            static_cast<std::int64_t>(created.QuadPart / 10)};
  }
  static FILETIME fileTime(std::int64_t us) {
    const ULARGE_INTEGER ticks{.QuadPart = static_cast<ULONGLONG>(us) * 10};
    return {ticks.LowPart, ticks.HighPart};
  }
  // A read-only file would keep its directory from being removed.
  ~Win32FileStoreFactory() {
    for (const std::wstring& name : names()) SetFileAttributesW(path(name.c_str()).c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  TemporaryDirectory temporary{L"tamsik-file-store"};
  Win32FileStore files;
  KernelHandle held;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileStoreContract, Win32FileStoreFactory);

namespace {

// Files in a directory of their own under the temporary directory.
class Win32FileStoreTest : public testing::Test {
 protected:

  std::wstring path(const wchar_t* name) { return (directory / name).wstring(); }
  void put(const wchar_t* name, const std::string& bytes) { ASSERT_EQ(write(path(name), bytes), WriteResult::written); }
  // One try, as a save without a pause.
  WriteResult write(const std::wstring& file, std::string_view bytes) {
    std::unique_ptr<PendingWrite> pending = store.prepareWrite(file, bytes);
    return pending ? pending->replaceTarget() : WriteResult::failed;
  }
  std::vector<std::wstring> names() {
    std::vector<std::wstring> found;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      found.push_back(entry.path().filename().wstring());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  TemporaryDirectory temporary{L"tamsik-files"};
  const std::filesystem::path& directory = temporary.path();
  Win32FileStore store;
};

TEST_F(Win32FileStoreTest, WriteIntoAMissingDirectoryFailsAndLeavesNothing) {
  EXPECT_EQ(store.prepareWrite(path(L"missing\\a.sbj"), "abc"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(directory / L"missing"));
  EXPECT_TRUE(names().empty());
}

TEST_F(Win32FileStoreTest, AFolderInTheWayIsNotReplaced) {
  std::filesystem::create_directory(directory / L"dir.sbj");
  EXPECT_EQ(write(path(L"dir.sbj"), "new"), WriteResult::failed);
  EXPECT_TRUE(std::filesystem::is_directory(directory / L"dir.sbj"));
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"dir.sbj"}));
}

// The longest path that the dialogs and the plain functions take: the
// temporary file beside it must not need a longer one.
TEST_F(Win32FileStoreTest, APathOfMaxPathLessOneIsWrittenAndRead) {
  std::filesystem::path folder = directory;
  while (folder.wstring().size() + 1 + 200 + 1 + 8 < MAX_PATH) folder /= std::wstring(200, L'd');
  const std::size_t nameLength = MAX_PATH - 1 - folder.wstring().size() - 1;
  ASSERT_GE(nameLength, 5u);
  std::filesystem::create_directories(folder);
  const std::wstring file = (folder / (std::wstring(nameLength - 4, L'n') + L".sbj")).wstring();
  ASSERT_EQ(file.size(), static_cast<std::size_t>(MAX_PATH - 1));
  ASSERT_EQ(write(file, "1 0 65 0 0\r\n"), WriteResult::written);
  ASSERT_EQ(write(file, "2 0 66 0 0\r\n"), WriteResult::written);
  EXPECT_EQ(store.readAll(file), "2 0 66 0 0\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary file is left";
}

TEST_F(Win32FileStoreTest, MissingOrLockedFilesCannotBeRead) {
  EXPECT_EQ(store.readAll(path(L"gone.sbj")), std::nullopt);
  EXPECT_EQ(store.readAll(directory.wstring()), std::nullopt) << "a directory is no script";

  put(L"locked.sbj", "abc");
  HANDLE lock = CreateFileW(path(L"locked.sbj").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(store.readAll(path(L"locked.sbj")), std::nullopt);
  CloseHandle(lock);
  EXPECT_EQ(store.readAll(path(L"locked.sbj")), "abc");
}

}  // namespace
