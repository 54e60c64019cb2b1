#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The functions a 64-bit Windows executable imports, read from its file.
struct PeImport {
  std::string dll;       // as the file spells it, such as "USER32.dll"
  std::string function;  // "#n" for an import by ordinal
  bool delayed = false;  // from the delay-load table
};

struct PeImports {
  std::vector<PeImport> imports;
  std::string error;  // empty when the file was read
};

PeImports readPeImports(const std::filesystem::path& exe);
