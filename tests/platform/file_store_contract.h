#pragma once

// What opening and saving rely on from the file store, checked against every
// realisation so that the fake cannot drift from the real one. A
// realisation's test instantiates the suite with a factory type that has
// store(), path(name) for a file of its own, names(), the files there,
// hold(name) and release(), another program holding a file open without
// letting it be replaced, as a virus scanner does for a moment, and
// setTraits(name, traits) and traits(name), a file's FileTraits.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/script_files.h"

// What a file keeps besides its name and bytes, as far as the suite looks.
struct FileTraits {
  bool readOnly = false;
  bool hidden = false;
  std::int64_t createdUs = 0;  // on the system's file clock
  bool operator==(const FileTraits&) const = default;
};

// 2020-01-01 on the file clock of Windows, in microseconds since 1601.
inline constexpr std::int64_t kLongAgoUs = 13'222'310'400'000'000;

template <typename Factory>
class FileStoreContract : public testing::Test {
 protected:
  void put(const wchar_t* name, const std::string& bytes) {
    std::unique_ptr<PendingWrite> write = prepare(name, bytes);
    ASSERT_TRUE(write);
    ASSERT_EQ(write->replaceTarget(), WriteResult::written);
  }
  std::optional<std::string> read(const wchar_t* name) { return factory.store().readAll(factory.path(name)); }
  std::unique_ptr<PendingWrite> prepare(const wchar_t* name, std::string_view bytes) {
    return factory.store().prepareWrite(factory.path(name), bytes);
  }

  Factory factory;
};

TYPED_TEST_SUITE_P(FileStoreContract);

TYPED_TEST_P(FileStoreContract, ReadsBackExactlyWhatWasWritten) {
  using namespace std::string_literals;
  const std::string bytes = "1 0 65 0 0\r\n\0\xFF\x80 end"s;
  this->put(L"a.sbj", bytes);
  EXPECT_EQ(this->read(L"a.sbj"), bytes);
  this->put(L"empty.sbj", "");
  EXPECT_EQ(this->read(L"empty.sbj"), "") << "an empty file is a file";
  std::string big;
  for (int i = 0; big.size() < (3u << 20); ++i) big += std::to_string(i) + " 3 1 640 480\r\n";
  this->put(L"big.sbj", big);
  EXPECT_EQ(this->read(L"big.sbj"), big);
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj", L"big.sbj", L"empty.sbj"}));
}

TYPED_TEST_P(FileStoreContract, ReplacesTheWholeOfAnExistingFileAndLeavesNothingElse) {
  this->put(L"a.sbj", std::string(100000, 'x'));
  this->put(L"a.sbj", "short");
  EXPECT_EQ(this->read(L"a.sbj"), "short");
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj"})) << "no temporary file is left";
}

TYPED_TEST_P(FileStoreContract, MissingFilesCannotBeRead) {
  EXPECT_EQ(this->read(L"gone.sbj"), std::nullopt);
  this->put(L"there.sbj", "abc");
  EXPECT_EQ(this->read(L"gone.sbj"), std::nullopt);
}

// The bytes are written once; only the replacement is tried again.
TYPED_TEST_P(FileStoreContract, ATargetHeldByAnotherProgramIsBusyAndStaysWhole) {
  this->put(L"a.sbj", "old content");
  this->factory.hold(L"a.sbj");
  {
    std::unique_ptr<PendingWrite> write = this->prepare(L"a.sbj", "new");
    ASSERT_TRUE(write);
    EXPECT_EQ(write->replaceTarget(), WriteResult::targetBusy);
    EXPECT_EQ(write->replaceTarget(), WriteResult::targetBusy) << "for as long as it is held";
    EXPECT_EQ(this->read(L"a.sbj"), "old content");
    EXPECT_EQ(this->factory.names().size(), 2u) << "the written copy waits beside the target";
    this->factory.release();
    EXPECT_EQ(write->replaceTarget(), WriteResult::written) << "once it is let go";
    EXPECT_EQ(write->replaceTarget(), WriteResult::written) << "and that answer stands";
  }
  EXPECT_EQ(this->read(L"a.sbj"), "new");
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj"}));

  this->factory.hold(L"a.sbj");
  EXPECT_EQ(this->prepare(L"a.sbj", "newer")->replaceTarget(), WriteResult::targetBusy);
  this->factory.release();
  EXPECT_EQ(this->read(L"a.sbj"), "new");
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj"})) << "an abandoned copy goes";
}

// A file system that stores no creation times (Wine's on Linux) reports
// another time for one just set: only the attributes are compared there.
TYPED_TEST_P(FileStoreContract, AReplacementKeepsTheTargetsAttributesAndCreationTime) {
  this->put(L"a.sbj", "old content");
  this->factory.setTraits(L"a.sbj", {.readOnly = false, .hidden = true, .createdUs = kLongAgoUs});
  const FileTraits before = this->factory.traits(L"a.sbj");
  ASSERT_TRUE(before.hidden);
  const bool keepsCreation = before.createdUs == kLongAgoUs;
  if (!keepsCreation) this->RecordProperty("creation_time", "not stored here, not compared");
  this->put(L"a.sbj", "new");
  EXPECT_EQ(this->read(L"a.sbj"), "new");
  FileTraits after = this->factory.traits(L"a.sbj");
  if (!keepsCreation) after.createdUs = before.createdUs;
  EXPECT_EQ(after, before);
  this->put(L"b.sbj", "fresh");
  EXPECT_FALSE(this->factory.traits(L"b.sbj").hidden) << "a new file is a plain one";
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj", L"b.sbj"})) << "no copy or backup is left";
}

TYPED_TEST_P(FileStoreContract, AReadOnlyTargetIsRefusedAtOnceAndStaysAsItWas) {
  this->put(L"a.sbj", "old content");
  this->factory.setTraits(L"a.sbj", {.readOnly = true, .hidden = false, .createdUs = kLongAgoUs});
  const FileTraits before = this->factory.traits(L"a.sbj");
  ASSERT_TRUE(before.readOnly);
  {
    std::unique_ptr<PendingWrite> write = this->prepare(L"a.sbj", "new");
    ASSERT_TRUE(write);
    EXPECT_EQ(write->replaceTarget(), WriteResult::failed);
    EXPECT_EQ(write->replaceTarget(), WriteResult::failed) << "a final answer stands";
  }
  EXPECT_EQ(this->read(L"a.sbj"), "old content");
  EXPECT_EQ(this->factory.traits(L"a.sbj"), before);
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj"}));
}

REGISTER_TYPED_TEST_SUITE_P(FileStoreContract, ReadsBackExactlyWhatWasWritten,
                            ReplacesTheWholeOfAnExistingFileAndLeavesNothingElse, MissingFilesCannotBeRead,
                            ATargetHeldByAnotherProgramIsBusyAndStaysWhole,
                            AReplacementKeepsTheTargetsAttributesAndCreationTime,
                            AReadOnlyTargetIsRefusedAtOnceAndStaysAsItWas);
