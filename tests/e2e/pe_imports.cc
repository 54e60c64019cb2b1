#include "e2e/pe_imports.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

class PeFile {
 public:
  explicit PeFile(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

  template <typename T>
  const T* at(std::size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return nullptr;
    return reinterpret_cast<const T*>(bytes_.data() + offset);
  }

  bool readHeaders(std::string& error) {
    const auto* dos = at<IMAGE_DOS_HEADER>(0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return fail(error, "no MZ header");
    const auto* nt = at<IMAGE_NT_HEADERS64>(static_cast<std::size_t>(dos->e_lfanew));
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return fail(error, "no PE header");
    if (nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return fail(error, "not a 64-bit image");
    nt_ = nt;
    sectionsOffset_ = static_cast<std::size_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                      nt->FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      if (!at<IMAGE_SECTION_HEADER>(sectionsOffset_ + i * sizeof(IMAGE_SECTION_HEADER))) {
        return fail(error, "truncated section table");
      }
    }
    return true;
  }

  const IMAGE_DATA_DIRECTORY* directory(int index) const {
    if (static_cast<DWORD>(index) >= nt_->OptionalHeader.NumberOfRvaAndSizes) return nullptr;
    const IMAGE_DATA_DIRECTORY& entry = nt_->OptionalHeader.DataDirectory[index];
    return entry.VirtualAddress != 0 ? &entry : nullptr;
  }

  std::optional<std::size_t> fileOffset(DWORD rva) const {
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i) {
      const auto* section = at<IMAGE_SECTION_HEADER>(sectionsOffset_ + i * sizeof(IMAGE_SECTION_HEADER));
      DWORD size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
      if (rva >= section->VirtualAddress && rva - section->VirtualAddress < size) {
        return std::size_t{section->PointerToRawData} + (rva - section->VirtualAddress);
      }
    }
    return std::nullopt;
  }

  template <typename T>
  const T* atRva(DWORD rva) const {
    std::optional<std::size_t> offset = fileOffset(rva);
    return offset ? at<T>(*offset) : nullptr;
  }

  std::optional<std::string> stringAt(DWORD rva) const {
    std::optional<std::size_t> offset = fileOffset(rva);
    if (!offset || *offset >= bytes_.size()) return std::nullopt;
    const char* start = bytes_.data() + *offset;
    const void* end = std::memchr(start, '\0', bytes_.size() - *offset);
    if (!end) return std::nullopt;
    return std::string(start, static_cast<const char*>(end));
  }

  // Appends the functions of one name table; false when it is unreadable.
  bool readNames(const std::string& dll, DWORD tableRva, bool delayed, std::vector<PeImport>& out) const {
    for (DWORD rva = tableRva;; rva += sizeof(ULONGLONG)) {
      const auto* thunk = atRva<ULONGLONG>(rva);
      if (!thunk) return false;
      if (*thunk == 0) return true;
      if (*thunk & IMAGE_ORDINAL_FLAG64) {
        std::string ordinal(1, '#');
        ordinal += std::to_string(*thunk & 0xFFFF);
        out.push_back({dll, ordinal, delayed});
        continue;
      }
      // IMAGE_IMPORT_BY_NAME: a two-byte hint, then the name.
      std::optional<std::string> name = stringAt(static_cast<DWORD>(*thunk) + 2);
      if (!name) return false;
      out.push_back({dll, *name, delayed});
    }
  }

  static bool fail(std::string& error, const char* why) {
    error = why;
    return false;
  }

 private:
  std::vector<char> bytes_;
  const IMAGE_NT_HEADERS64* nt_ = nullptr;
  std::size_t sectionsOffset_ = 0;
};

}  // namespace

PeImports readPeImports(const std::filesystem::path& exe) {
  PeImports result;
  auto failed = [&result](std::string why) {
    result.error = std::move(why);
    return result;
  };
  std::ifstream in(exe, std::ios::binary);
  if (!in) return failed("cannot open " + exe.string());
  PeFile file(std::vector<char>(std::istreambuf_iterator<char>(in), {}));
  if (!file.readHeaders(result.error)) return result;

  if (const IMAGE_DATA_DIRECTORY* imports = file.directory(IMAGE_DIRECTORY_ENTRY_IMPORT)) {
    for (DWORD rva = imports->VirtualAddress;; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      const auto* descriptor = file.atRva<IMAGE_IMPORT_DESCRIPTOR>(rva);
      if (!descriptor) return failed("truncated import directory");
      if (descriptor->Name == 0) break;
      std::optional<std::string> dll = file.stringAt(descriptor->Name);
      DWORD names = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
      if (!dll || !file.readNames(*dll, names, false, result.imports)) {
        return failed("unreadable import entry");
      }
    }
  }
  if (const IMAGE_DATA_DIRECTORY* delayed = file.directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT)) {
    for (DWORD rva = delayed->VirtualAddress;; rva += sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)) {
      const auto* descriptor = file.atRva<IMAGE_DELAYLOAD_DESCRIPTOR>(rva);
      if (!descriptor) return failed("truncated delay-load directory");
      if (descriptor->DllNameRVA == 0) break;
      if (!descriptor->Attributes.RvaBased) return failed("delay-load entry without RVAs");
      std::optional<std::string> dll = file.stringAt(descriptor->DllNameRVA);
      if (!dll || !file.readNames(*dll, descriptor->ImportNameTableRVA, true, result.imports)) {
        return failed("unreadable delay-load entry");
      }
    }
  }
  return result;
}
