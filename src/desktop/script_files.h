#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/run_threads.h"
#include "platform/script_box.h"
#include "platform/script_files.h"
#include "platform/waiter.h"
#include "platform/window_thread.h"

// Everything opening and saving a script works with.
struct ScriptFileContext {
  FileDialogs& dialogs;
  FileStore& files;
  TextCodec& codec;
  ScriptBox& box;
  Controls& controls;
  WaiterFactory& waiters;  // the pauses between the tries of a save
};

// How long a save tries again while another program holds the target, and
// the pause between tries: short enough that the window thread, which waits
// meanwhile, never looks hung.
inline constexpr std::int64_t kSaveRetryForUs = 2'000'000;
inline constexpr std::int64_t kSaveRetryPauseUs = 50'000;

// The options both script file dialogs show: *.sbj files.
FileDialogOptions scriptFileDialogOptions();

// Asks for a script file and puts its text into the script box, up to its
// first zero byte; panel 1 then counts the box's lines. A file that cannot be
// read leaves the box as it was and says so in panel 1.
void openScriptFile(ScriptFileContext& context);
// Opens the file at the path as the dialog's choice is opened.
void openScriptFileAt(ScriptFileContext& context, const std::wstring& path);
// Files dropped onto the window: the first of them is opened. A folder reads
// as a file that cannot be read.
void openDroppedScriptFile(ScriptFileContext& context, const std::vector<std::wstring>& paths);

// Saves of the script box, on the window thread. A save asks for a path and
// writes the whole box there, with no terminating zero. The bytes are written
// once; a replacement of the target that another program holds for a moment
// is tried again, on a thread of its own so that the window goes on
// answering and nothing runs inside the save, for up to kSaveRetryForUs
// before the save counts as failed; a read-only target fails at once.
// Meanwhile a second save is not begun. A failed save says so in panel 1 and
// leaves the file that was there whole, and so does a text with characters
// that script files cannot hold; a successful one leaves the status bar
// alone.
class ScriptSaves {
 public:
  // threads: for the retries alone, so that waiting for them waits for
  // nothing else.
  ScriptSaves(const ScriptFileContext& context, RunThreads& threads, WindowThread& windowThread);
  ScriptSaves(const ScriptSaves&) = delete;
  ScriptSaves& operator=(const ScriptSaves&) = delete;

  void save();
  // Waits for the retries of a save under way to end, so that its written
  // copy is not left behind; false when they did not within the patience.
  bool finish(std::chrono::milliseconds patience);

 private:
  ScriptFileContext context_;
  RunThreads& threads_;
  WindowThread& windowThread_;
  bool retrying_ = false;
  // Gone with this object, so that a result on its way finds nothing.
  std::shared_ptr<ScriptSaves*> self_ = std::make_shared<ScriptSaves*>(this);
};
