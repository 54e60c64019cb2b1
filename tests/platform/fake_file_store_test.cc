#include "fakes/fake_script_files.h"
#include "platform/file_store_contract.h"

namespace {

struct FakeFileStoreFactory {
  FileStore& store() { return files; }
  std::wstring path(const wchar_t* name) { return std::wstring(L"C:\\scripts\\") + name; }
  std::vector<std::wstring> names() {
    std::vector<std::wstring> found;
    for (const auto& [path, bytes] : files.files) found.push_back(path.substr(std::wstring(L"C:\\scripts\\").size()));
    return found;
  }
  void hold(const wchar_t* name) { files.heldFor[path(name)] = 1 << 30; }
  void release() { files.heldFor.clear(); }
  void setTraits(const wchar_t* name, const FileTraits& traits) {
    files.properties[path(name)] = {(traits.readOnly ? FakeFileStore::kReadOnly : 0u) |
                                        (traits.hidden ? FakeFileStore::kHidden : 0u) | FakeFileStore::kArchive,
                                    traits.createdUs};
  }
  FileTraits traits(const wchar_t* name) {
    const FakeFileStore::Properties properties = files.propertiesOf(path(name));
    return {(properties.attributes & FakeFileStore::kReadOnly) != 0,
            (properties.attributes & FakeFileStore::kHidden) != 0, properties.createdUs};
  }

  CallLog log;
  FakeFileStore files{log};
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileStoreContract, FakeFileStoreFactory);
