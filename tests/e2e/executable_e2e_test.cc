// tamsik.exe as a file: what Windows 7 SP1 needs in order to load it (no
// function and no DLL that came later), and the version it carries.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/pe_imports.h"
#include "support/tamsik_process.h"

namespace {

struct NewerFunction {
  const char* dll;
  const char* function;
  const char* since;
};

// A loader that misses any one of these refuses the whole program.
constexpr NewerFunction kNewerThanWindows7[] = {
    {"user32.dll", "SetProcessDpiAwarenessContext", "Windows 10 1703"},
    {"user32.dll", "GetDpiForWindow", "Windows 10 1607"},
    {"user32.dll", "GetDpiForSystem", "Windows 10 1607"},
    {"user32.dll", "GetSystemDpiForProcess", "Windows 10 1803"},
    {"user32.dll", "GetSystemMetricsForDpi", "Windows 10 1607"},
    {"user32.dll", "SystemParametersInfoForDpi", "Windows 10 1607"},
    {"user32.dll", "AdjustWindowRectExForDpi", "Windows 10 1607"},
    {"user32.dll", "EnableNonClientDpiScaling", "Windows 10 1607"},
    {"user32.dll", "SetThreadDpiAwarenessContext", "Windows 10 1607"},
    {"user32.dll", "GetThreadDpiAwarenessContext", "Windows 10 1607"},
    {"user32.dll", "GetWindowDpiAwarenessContext", "Windows 10 1607"},
    {"user32.dll", "GetAwarenessFromDpiAwarenessContext", "Windows 10 1607"},
    {"user32.dll", "AreDpiAwarenessContextsEqual", "Windows 10 1607"},
    {"user32.dll", "IsValidDpiAwarenessContext", "Windows 10 1607"},
    {"user32.dll", "GetDpiFromDpiAwarenessContext", "Windows 10 1803"},
    {"user32.dll", "GetDpiAwarenessContextForProcess", "Windows 10 1803"},
    {"user32.dll", "SetThreadDpiHostingBehavior", "Windows 10 1803"},
    {"user32.dll", "SetDialogDpiChangeBehavior", "Windows 10 1703"},
    {"user32.dll", "SetDialogControlDpiChangeBehavior", "Windows 10 1703"},
    {"user32.dll", "LogicalToPhysicalPointForPerMonitorDPI", "Windows 8.1"},
    {"user32.dll", "PhysicalToLogicalPointForPerMonitorDPI", "Windows 8.1"},
    {"user32.dll", "GetCurrentInputMessageSource", "Windows 8"},
    {"user32.dll", "EnableMouseInPointer", "Windows 8"},
    {"user32.dll", "InitializeTouchInjection", "Windows 8"},
    {"user32.dll", "InjectTouchInput", "Windows 8"},
    {"user32.dll", "CreateSyntheticPointerDevice", "Windows 10 1809"},
    {"user32.dll", "InjectSyntheticPointerInput", "Windows 10 1809"},
    {"shcore.dll", "SetProcessDpiAwareness", "Windows 8.1"},
    {"shcore.dll", "GetProcessDpiAwareness", "Windows 8.1"},
    {"shcore.dll", "GetDpiForMonitor", "Windows 8.1"},
    {"shcore.dll", "GetScaleFactorForMonitor", "Windows 8.1"},
    {"kernel32.dll", "SetProcessInformation", "Windows 8"},
    {"kernel32.dll", "GetProcessInformation", "Windows 8"},
    {"kernel32.dll", "SetThreadInformation", "Windows 8"},
    {"kernel32.dll", "GetSystemTimePreciseAsFileTime", "Windows 8"},
    {"kernel32.dll", "CreateFile2", "Windows 8"},
    {"kernel32.dll", "CopyFile2", "Windows 8"},
    {"kernel32.dll", "GetCurrentThreadStackLimits", "Windows 8"},
    {"kernel32.dll", "SetDefaultDllDirectories", "Windows 8 (Windows 7 only with KB2533623)"},
    {"kernel32.dll", "AddDllDirectory", "Windows 8 (Windows 7 only with KB2533623)"},
    {"kernel32.dll", "SetThreadDescription", "Windows 10 1607"},
    {"kernel32.dll", "GetThreadDescription", "Windows 10 1607"},
};

// System DLLs that Windows 7 SP1 has. The whole of shcore.dll and of the
// api-ms-win-* sets that newer toolchains like to import came later.
constexpr const char* kWindows7Dlls[] = {
    "kernel32.dll", "user32.dll", "gdi32.dll",  "comctl32.dll", "comdlg32.dll", "shell32.dll",  "winmm.dll",
    "msvcrt.dll",   "advapi32.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",  "uxtheme.dll", "version.dll",
    "wtsapi32.dll",
};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool imports(const std::vector<PeImport>& table, const std::string& dll, const std::string& function) {
  return std::any_of(table.begin(), table.end(), [&](const PeImport& entry) {
    return lower(entry.dll) == dll && entry.function == function;
  });
}

std::vector<std::string> newerThanWindows7(const std::vector<PeImport>& table) {
  std::vector<std::string> found;
  for (const NewerFunction& newer : kNewerThanWindows7) {
    if (imports(table, newer.dll, newer.function)) {
      found.push_back(std::string(newer.dll) + "!" + newer.function + " (" + newer.since + ")");
    }
  }
  for (const PeImport& entry : table) {
    if (std::find(std::begin(kWindows7Dlls), std::end(kWindows7Dlls), lower(entry.dll)) == std::end(kWindows7Dlls)) {
      found.push_back(entry.dll + "!" + entry.function + " (a DLL that Windows 7 lacks)");
    }
  }
  return found;
}

std::filesystem::path ownPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, length));
}

TEST(ExecutableE2eTest, ImportsNothingThatWindows7Lacks) {
  PeImports table = readPeImports(tamsikPath());
  ASSERT_EQ(table.error, "");
  // Functions the program is known to call: the table was really read.
  EXPECT_TRUE(imports(table.imports, "user32.dll", "CreateWindowExW"));
  EXPECT_TRUE(imports(table.imports, "user32.dll", "SendInput"));
  EXPECT_TRUE(imports(table.imports, "user32.dll", "SetProcessDPIAware"));
  EXPECT_TRUE(imports(table.imports, "kernel32.dll", "CreateFileW"));
  EXPECT_TRUE(imports(table.imports, "shell32.dll", "Shell_NotifyIconW"));
  EXPECT_TRUE(imports(table.imports, "gdi32.dll", "CreateFontIndirectW"));

  std::vector<std::string> newer = newerThanWindows7(table.imports);
  EXPECT_TRUE(newer.empty()) << testing::PrintToString(newer);
  if (newer.empty()) std::printf("tamsik.exe imports %zu functions, none newer than Windows 7\n", table.imports.size());
}

TEST(ExecutableE2eTest, TheImportCheckFindsANewerFunction) {
  // This test program itself may import what Windows 7 lacks.
  ASSERT_GE(GetDpiForSystem(), 96u);
  PeImports table = readPeImports(ownPath());
  ASSERT_EQ(table.error, "");
  std::vector<std::string> newer = newerThanWindows7(table.imports);
  EXPECT_NE(std::find(newer.begin(), newer.end(), "user32.dll!GetDpiForSystem (Windows 10 1607)"), newer.end())
      << testing::PrintToString(newer);
}

// The CMake project's version as the four numbers of a version resource.
std::vector<unsigned> projectVersion() {
  std::vector<unsigned> numbers;
  std::istringstream in(TAMSIK_PROJECT_VERSION);
  for (std::string part; std::getline(in, part, '.');) numbers.push_back(static_cast<unsigned>(std::stoul(part)));
  numbers.resize(4, 0);
  return numbers;
}

TEST(ExecutableE2eTest, CarriesTheProjectVersion) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(tamsikPath().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(tamsikPath().c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  std::vector<unsigned> fileVersion = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  std::vector<unsigned> productVersion = {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                                          HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
  EXPECT_EQ(fileVersion, projectVersion());
  EXPECT_EQ(productVersion, projectVersion());

  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t* text = nullptr;
    std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << path;
    std::string expected = TAMSIK_PROJECT_VERSION;
    EXPECT_EQ(std::wstring(text), std::wstring(expected.begin(), expected.end())) << path;
  }

  struct FreeLibraryDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
  };
  std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeLibraryDeleter> image(
      LoadLibraryExW(tamsikPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_NE(image, nullptr);
  HRSRC resource = FindResourceW(image.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(resource, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(image.get(), resource)));
  std::string manifest(bytes, SizeofResource(image.get(), resource));
  std::vector<unsigned> version = projectVersion();
  std::ostringstream identity;
  identity << "name=\"Tamsik.Tamsik\" version=\"" << version[0] << '.' << version[1] << '.' << version[2] << '.'
           << version[3] << '"';
  EXPECT_NE(manifest.find(identity.str()), std::string::npos) << manifest;
  EXPECT_EQ(manifest.find('@'), std::string::npos) << "a placeholder was left: " << manifest;
}

}  // namespace
