#include "platform/win32/file_replacement.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

namespace err = system_error;
namespace attr = file_attribute;

// A folder as Windows answers for it, to what ReplaceFileW documents for
// each of its failures; the failures themselves are set by the test.
class FakeReplacementCalls : public ReplacementCalls {
 public:
  struct File {
    std::string bytes;
    std::uint32_t attributes = attr::archive;
    bool operator==(const File&) const = default;
  };

  std::uint32_t attributesOf(const std::wstring& path, std::uint32_t& attributes) override {
    if (auto denied = attributesDenied.find(path); denied != attributesDenied.end()) return err::accessDenied;
    auto file = files.find(path);
    if (file == files.end()) return err::fileNotFound;
    attributes = file->second.attributes;
    return err::none;
  }
  std::uint32_t setAttributes(const std::wstring& path, std::uint32_t attributes) override {
    files.at(path).attributes = attributes == attr::normal ? 0 : attributes;
    return err::none;
  }
  std::uint32_t replace(const std::wstring& target, const std::wstring& copy, const std::wstring& backup) override {
    calls.push_back("replace");
    if (files.at(target).attributes & attr::readOnly) return err::accessDenied;
    if (replaceError == err::unableToMoveReplacement2) {
      // The copy has taken the target's streams and attributes; the target
      // lies under the backup's name, and nothing under its own.
      files.at(copy).attributes = files.at(target).attributes;
      files[backup] = files.at(target);
      files.erase(target);
    }
    if (replaceError != err::none) return replaceError;
    files[backup] = files.at(target);
    files[target] = {files.at(copy).bytes, files.at(target).attributes};
    files.erase(copy);
    return err::none;
  }
  std::uint32_t move(const std::wstring& from, const std::wstring& to) override {
    calls.push_back("move");
    if (auto error = moveErrors.find(to); error != moveErrors.end()) return error->second;
    if (files.count(to)) return err::alreadyExists;
    files[to] = files.at(from);
    files.erase(from);
    return err::none;
  }
  std::uint32_t remove(const std::wstring& path) override {
    if (removeDenied.count(path)) return err::sharingViolation;
    files.erase(path);
    return err::none;
  }

  std::map<std::wstring, File> files;
  std::set<std::wstring> attributesDenied;  // a pending delete
  std::uint32_t replaceError = err::none;
  std::map<std::wstring, std::uint32_t> moveErrors;  // by destination
  std::set<std::wstring> removeDenied;
  std::vector<std::string> calls;
};

using Files = std::map<std::wstring, FakeReplacementCalls::File>;

TEST(FileReplacementTest, EveryAnswerOfTheSystemLeavesTheOldBytesOrTheNew) {
  const FakeReplacementCalls::File old{"old", attr::hidden | attr::archive};
  const FakeReplacementCalls::File copy{"new", attr::archive};
  const FakeReplacementCalls::File replaced{"new", attr::hidden | attr::archive};
  struct Case {
    const char* name;
    Files before;
    std::uint32_t replaceError = err::none;
    std::map<std::wstring, std::uint32_t> moveErrors;
    bool backupHeld = false;
    bool targetDenied = false;
    WriteResult result;
    Files after;
    std::vector<std::string> calls;
    bool leftover = false;
  };
  const Case cases[] = {
      {"replaced, attributes kept", {{L"t", old}, {L"c", copy}}, err::none, {}, false, false, WriteResult::written,
       {{L"t", replaced}}, {"replace"}},
      {"backup held after the replacement", {{L"t", old}, {L"c", copy}}, err::none, {}, true, false,
       WriteResult::written, {{L"t", replaced}, {L"b", old}}, {"replace"}, true},
      {"read-only target", {{L"t", {"old", attr::readOnly}}, {L"c", copy}}, err::none, {}, false, false,
       WriteResult::failed, {{L"t", {"old", attr::readOnly}}, {L"c", copy}}, {}},
      {"folder in the way", {{L"t", {"", attr::directory}}, {L"c", copy}}, err::none, {}, false, false,
       WriteResult::failed, {{L"t", {"", attr::directory}}, {L"c", copy}}, {}},
      {"sharing violation", {{L"t", old}, {L"c", copy}}, err::sharingViolation, {}, false, false,
       WriteResult::targetBusy, {{L"t", old}, {L"c", replaced}}, {"replace"}},
      {"target not removed", {{L"t", old}, {L"c", copy}}, err::unableToRemoveReplaced, {}, false, false,
       WriteResult::targetBusy, {{L"t", old}, {L"c", replaced}}, {"replace"}},
      {"copy not renamed", {{L"t", old}, {L"c", copy}}, err::unableToMoveReplacement, {}, false, false,
       WriteResult::targetBusy, {{L"t", old}, {L"c", replaced}}, {"replace"}},
      {"copy not moved: the old file is put back", {{L"t", old}, {L"c", copy}}, err::unableToMoveReplacement2, {},
       false, false, WriteResult::targetBusy, {{L"t", old}, {L"c", replaced}}, {"replace", "move"}},
      {"and where it cannot be, it stays under the backup's name", {{L"t", old}, {L"c", copy}},
       err::unableToMoveReplacement2, {{L"t", err::accessDenied}}, false, false, WriteResult::failed,
       {{L"b", old}, {L"c", replaced}}, {"replace", "move"}},
      {"access denied by the rights", {{L"t", old}, {L"c", copy}}, err::accessDenied, {}, false, false,
       WriteResult::failed, {{L"t", old}, {L"c", replaced}}, {"replace"}},
      {"other failure", {{L"t", old}, {L"c", copy}}, 87, {}, false, false, WriteResult::failed,
       {{L"t", old}, {L"c", replaced}}, {"replace"}},
      {"delete of the target pending", {{L"t", old}, {L"c", copy}}, err::none, {}, false, true,
       WriteResult::targetBusy, {{L"t", old}, {L"c", copy}}, {}},
      {"no target yet", {{L"c", copy}}, err::none, {}, false, false, WriteResult::written, {{L"t", copy}}, {"move"}},
      {"a target made meanwhile", {{L"c", copy}}, err::none, {{L"t", err::alreadyExists}}, false, false,
       WriteResult::targetBusy, {{L"c", copy}}, {"move"}},
      {"no room for the name", {{L"c", copy}}, err::none, {{L"t", 112}}, false, false, WriteResult::failed,
       {{L"c", copy}}, {"move"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeReplacementCalls calls;
    calls.files = c.before;
    calls.replaceError = c.replaceError;
    calls.moveErrors = c.moveErrors;
    if (c.backupHeld) calls.removeDenied.insert(L"b");
    if (c.targetDenied) calls.attributesDenied.insert(L"t");
    std::wstring leftover;
    EXPECT_EQ(replaceStep(calls, L"t", L"c", L"b", leftover), c.result);
    EXPECT_EQ(calls.files, c.after);
    EXPECT_EQ(calls.calls, c.calls);
    EXPECT_EQ(leftover, c.leftover ? L"b" : L"");
  }
}

}  // namespace
