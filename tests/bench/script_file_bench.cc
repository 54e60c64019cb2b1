// Opening and saving a 10 MB script (500,000 lines) through the program's own
// code: the GBK codec, the file store with its atomic replace, and the script
// box over a real edit control in a hidden window. Prints the best of three
// runs of each step, whole and in its parts.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "desktop/script_files.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/script_files.h"
#include "platform/win32/win32_waiter.h"
#include "support/stopwatch.h"

namespace {

double bestOfThreeMs(const std::function<void()>& step) {
  double best = 1e300;
  for (int i = 0; i < 3; ++i) {
    const double start = nowMs();
    step();
    best = std::min(best, nowMs() - start);
  }
  return best;
}

class FixedDialogs : public FileDialogs {
 public:
  explicit FixedDialogs(std::wstring path) : path_(std::move(path)) {}
  std::optional<std::wstring> chooseFileToOpen(const FileDialogOptions&) override { return path_; }
  std::optional<std::wstring> chooseFileToSave(const FileDialogOptions&) override { return path_; }

 private:
  std::wstring path_;
};

class StatusOnly : public Controls {
 public:
  bool isChecked(CheckBox) override { return false; }
  void uncheck(CheckBox) override {}
  void showError(const std::wstring&) override {}
  void setStatusText(StatusPanel, const std::wstring& text) override { status = text; }
  std::wstring sensitivityText() override { return L"10"; }
  void setTimerPeriod(std::int32_t) override {}
  void minimiseWindow() override {}

  std::wstring status;
};

std::wstring scriptOf(int lines) {
  std::wstring text;
  text.reserve(static_cast<std::size_t>(lines) * 21);
  for (int i = 0; i < lines; ++i) {
    text += std::to_wstring(1000000 + i) + (i % 2 ? L" 2 65 1280 0\r\n" : L" 3 1 640 480\r\n");
  }
  return text;
}

}  // namespace

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"tamsik file bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND edit = createScriptEdit(window, 100, 10, 10, 360, 240);
  if (window == nullptr || edit == nullptr) {
    std::fprintf(stderr, "could not create the edit control\n");
    return 1;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      std::wstring(temp) + L"tamsik-file-bench-" + std::to_wstring(GetCurrentProcessId()) + L".sbj";

  EditScriptBox box(edit);
  GbkCodec codec;
  Win32FileStore files;
  FixedDialogs dialogs(path);
  StatusOnly controls;
  Win32WaiterFactory waiters;
  ScriptFileContext context{dialogs, files, codec, box, controls, waiters};

  constexpr int kLines = 500000;
  const std::wstring script = scriptOf(kLines);
  box.setText(script);
  std::string bytes = codec.encode(script).value();
  std::wstring decoded;
  std::optional<std::string> read;

  const double save = bestOfThreeMs([&] { saveScriptFile(context); });
  const double boxText = bestOfThreeMs([&] { decoded = box.text(); });
  const double encode = bestOfThreeMs([&] { bytes = codec.encode(decoded).value(); });
  const double write = bestOfThreeMs([&] { files.replaceAll(path, bytes); });

  const double open = bestOfThreeMs([&] {
    box.setText(L"");
    openScriptFile(context);
  });
  const bool sameText = box.text() == script && controls.status == L"共" + std::to_wstring(kLines + 1) + L"条脚本";
  const double readAll = bestOfThreeMs([&] { read = files.readAll(path); });
  const double decode = bestOfThreeMs([&] { decoded = codec.decode(*read); });
  const double setText = bestOfThreeMs([&] { box.setText(decoded); });
  const double lineCount = bestOfThreeMs([&] { box.lineCount(); });
  const bool sameBytes = read && *read == bytes;

  // A byte that is no GBK character, and a codec whose tables are not built yet.
  const std::string odd = bytes + "\xFF";
  GbkCodec coldCodec;
  double start = nowMs();
  decoded = coldCodec.decode(odd);
  const double firstOddDecode = nowMs() - start;
  const double oddDecode = bestOfThreeMs([&] { decoded = coldCodec.decode(odd); });
  const bool oddRoundTrip = codec.encode(decoded) == odd;

  DeleteFileW(path.c_str());
  DestroyWindow(window);

  std::printf("script file of %d lines, %.1f MB (best of 3, ms)\n", kLines, bytes.size() / 1048576.0);
  std::printf("  save, whole                 %9.1f\n", save);
  std::printf("    box text                  %9.1f\n", boxText);
  std::printf("    GBK encode                %9.1f\n", encode);
  std::printf("    temporary file and move   %9.1f\n", write);
  std::printf("  open, whole                 %9.1f\n", open);
  std::printf("    read                      %9.1f\n", readAll);
  std::printf("    GBK decode                %9.1f\n", decode);
  std::printf("    box set text              %9.1f\n", setText);
  std::printf("    box line count            %9.1f\n", lineCount);
  std::printf("  decode with a stray byte    %9.1f\n", oddDecode);
  std::printf("    first use, tables built   %9.1f\n", firstOddDecode);
  const bool correct = sameText && sameBytes && oddRoundTrip;
  if (!correct) std::printf("  WRONG: text %d, bytes %d, stray byte %d\n", sameText, sameBytes, oddRoundTrip);
  return correct ? 0 : 1;
}
