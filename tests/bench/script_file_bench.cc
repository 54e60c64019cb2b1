// Opening and saving scripts through the program's own code: the GBK codec,
// the file store with its atomic replace, and the script box over a real edit
// control, visible, with the main window's font, and followed by the
// publication for the player as in the program. Opening is timed beside
// WM_SETTEXT of the same text into a bare edit control of the same styles,
// size and font, in the same window: the yardstick of what the control alone
// costs. Prints the best of three runs of each step.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "desktop/script_files.h"
#include "platform/win32/dpi.h"
#include "platform/win32/edit_script_box.h"
#include "platform/win32/script_files.h"
#include "platform/win32/window_thread.h"
#include "script/published_script.h"
#include "support/stopwatch.h"

namespace {

constexpr double kOpenTarget = 1.2;

double bestOfMs(int runs, const std::function<void()>& prepare, const std::function<void()>& step) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const double start = nowMs();
    step();
    best = std::min(best, nowMs() - start);
  }
  return best;
}

double bestOfThreeMs(const std::function<void()>& step) { return bestOfMs(3, [] {}, step); }

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
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
  HWND window = CreateWindowExW(0, L"STATIC", L"tamsik file bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND edit = createScriptEdit(window, 100, 10, 10, 210, 253);
  HWND bare = createScriptEdit(window, 101, 240, 10, 210, 253);
  if (window == nullptr || edit == nullptr || bare == nullptr) {
    std::fprintf(stderr, "could not create the edit controls\n");
    return 1;
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  nonClientMetricsForDpi(metrics, dpiForWindow(window));
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(bare, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  pumpMessages();

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      std::wstring(temp) + L"tamsik-file-bench-" + std::to_wstring(GetCurrentProcessId()) + L".sbj";

  Win32WindowThread windowThread;
  EditScriptBox box(edit);
  PublishedScript published(box, windowThread);
  bool publishedNow = false;
  published.setPublishedListener([&] { publishedNow = true; });
  GbkCodec codec;
  Win32FileStore files;
  FixedDialogs dialogs(path);
  StatusOnly controls;
  ScriptFileContext context{dialogs, files, codec, box, controls};
  bool correct = true;

  // Opening, to the line count in the status bar and the script published,
  // beside the bare control's WM_SETTEXT; both painted.
  std::printf("opening a script beside WM_SETTEXT of its text into a bare edit control (best of 3, ms)\n");
  std::printf("  %9s %12s %12s %7s  target\n", "lines", "open", "WM_SETTEXT", "ratio");
  for (int lines : {10000, 100000, 300000}) {
    const std::wstring script = scriptOf(lines);
    files.replaceAll(path, codec.encode(script).value());
    const double setText = bestOfMs(
        3, [&] { SetWindowTextW(bare, L""); UpdateWindow(window); },
        [&] {
          SendMessageW(bare, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(script.c_str()));
          UpdateWindow(window);
        });
    SetWindowTextW(bare, L"");
    const double open = bestOfMs(
        3,
        [&] {
          box.setText(L"");
          pumpMessages();
          UpdateWindow(window);
          publishedNow = false;
        },
        [&] {
          openScriptFile(context);
          while (!publishedNow) {
            WaitMessage();
            pumpMessages();
          }
          UpdateWindow(window);
        });
    const bool right = published.current()->text() == script &&
                       controls.status == L"共" + std::to_wstring(lines + 1) + L"条脚本";
    correct = correct && right;
    const double ratio = open / setText;
    std::printf("  %9d %12.1f %12.1f %7.2f  %.1f %s\n", lines, open, setText, ratio, kOpenTarget,
                !right ? "WRONG TEXT" : ratio <= kOpenTarget ? "met" : "MISSED");
    std::fflush(stdout);
  }

  // Where an open of the largest script goes, step by step.
  {
    const std::wstring script = scriptOf(300000);
    std::optional<std::string> read;
    std::wstring decoded;
    const double readAll = bestOfThreeMs([&] { read = files.readAll(path); });
    const double decode = bestOfThreeMs([&] { decoded = codec.decode(*read); });
    const double setText = bestOfMs(3, [&] { box.setText(L""); pumpMessages(); }, [&] { box.setText(decoded); });
    const double lineCount = bestOfThreeMs([&] { box.lineCount(); });
    const double boxText = bestOfThreeMs([&] { decoded = box.text(); });
    const double snapshot = bestOfThreeMs([&] { ScriptSnapshot copy(decoded); });
    pumpMessages();
    std::printf("  parts of an open of 300000 lines\n");
    std::printf("    read                      %9.1f\n", readAll);
    std::printf("    GBK decode                %9.1f\n", decode);
    std::printf("    box set text              %9.1f\n", setText);
    std::printf("    box line count            %9.1f\n", lineCount);
    std::printf("    box text (publication)    %9.1f\n", boxText);
    std::printf("    snapshot (publication)    %9.1f\n", snapshot);
    correct = correct && decoded == script;
  }

  // Saving the largest script.
  const std::wstring script = scriptOf(300000);
  box.setText(script);
  pumpMessages();
  std::string bytes = codec.encode(script).value();
  std::wstring text;
  const double save = bestOfThreeMs([&] { saveScriptFile(context); });
  const double boxText = bestOfThreeMs([&] { text = box.text(); });
  const double encode = bestOfThreeMs([&] { bytes = codec.encode(text).value(); });
  const double write = bestOfThreeMs([&] { files.replaceAll(path, bytes); });
  std::optional<std::string> read = files.readAll(path);
  const bool sameBytes = read && *read == codec.encode(script).value();

  // A byte that is no GBK character, and a codec whose tables are not built yet.
  const std::string odd = bytes + "\xFF";
  GbkCodec coldCodec;
  double start = nowMs();
  std::wstring decoded = coldCodec.decode(odd);
  const double firstOddDecode = nowMs() - start;
  const double oddDecode = bestOfThreeMs([&] { decoded = coldCodec.decode(odd); });
  const bool oddRoundTrip = codec.encode(decoded) == odd;

  DeleteFileW(path.c_str());
  DestroyWindow(window);
  DeleteObject(font);

  std::printf("  save of 300000 lines, %.1f MB\n", bytes.size() / 1048576.0);
  std::printf("    whole                     %9.1f\n", save);
  std::printf("    box text                  %9.1f\n", boxText);
  std::printf("    GBK encode                %9.1f\n", encode);
  std::printf("    temporary file and move   %9.1f\n", write);
  std::printf("  decode with a stray byte    %9.1f\n", oddDecode);
  std::printf("    first use, tables built   %9.1f\n", firstOddDecode);
  correct = correct && sameBytes && oddRoundTrip;
  if (!correct) std::printf("  WRONG: opened text, saved bytes %d, stray byte %d\n", sameBytes, oddRoundTrip);
  return correct ? 0 : 1;
}
