#pragma once

// What opening and saving rely on from the file store, checked against every
// realisation so that the fake cannot drift from the real one. A
// realisation's test instantiates the suite with a factory type that has
// store(), path(name) for a file of its own, names(), the files there, and
// hold(name) and release(), another program holding a file open without
// letting it be replaced, as a virus scanner does for a moment.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/script_files.h"

template <typename Factory>
class FileStoreContract : public testing::Test {
 protected:
  void put(const wchar_t* name, const std::string& bytes) {
    ASSERT_EQ(factory.store().replaceAll(factory.path(name), bytes), WriteResult::written);
  }
  std::optional<std::string> read(const wchar_t* name) { return factory.store().readAll(factory.path(name)); }

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

TYPED_TEST_P(FileStoreContract, ATargetHeldByAnotherProgramIsBusyAndStaysWhole) {
  this->put(L"a.sbj", "old content");
  this->factory.hold(L"a.sbj");
  EXPECT_EQ(this->factory.store().replaceAll(this->factory.path(L"a.sbj"), "new"), WriteResult::targetBusy);
  this->factory.release();
  EXPECT_EQ(this->read(L"a.sbj"), "old content");
  EXPECT_EQ(this->factory.names(), (std::vector<std::wstring>{L"a.sbj"})) << "no temporary file is left";
  this->put(L"a.sbj", "new");
  EXPECT_EQ(this->read(L"a.sbj"), "new") << "once it is let go";
}

REGISTER_TYPED_TEST_SUITE_P(FileStoreContract, ReadsBackExactlyWhatWasWritten,
                            ReplacesTheWholeOfAnExistingFileAndLeavesNothingElse, MissingFilesCannotBeRead,
                            ATargetHeldByAnotherProgramIsBusyAndStaysWhole);
