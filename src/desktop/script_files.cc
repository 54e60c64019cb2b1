#include "desktop/script_files.h"

#include <algorithm>
#include <memory>

#include "desktop/messages.h"

FileDialogOptions scriptFileDialogOptions() {
  return {texts::kScriptFileFilterName, texts::kScriptFileFilterPattern, texts::kScriptFileExtension};
}

void openScriptFile(ScriptFileContext& context) {
  std::optional<std::wstring> path = context.dialogs.chooseFileToOpen(scriptFileDialogOptions());
  if (path) openScriptFileAt(context, *path);
}

void openDroppedScriptFile(ScriptFileContext& context, const std::vector<std::wstring>& paths) {
  if (!paths.empty()) openScriptFileAt(context, paths.front());
}

void openScriptFileAt(ScriptFileContext& context, const std::wstring& path) {
  std::optional<std::string> bytes = context.files.readAll(path);
  if (!bytes) {
    context.controls.setStatusText(StatusPanel::message, texts::kScriptFileUnreadable);
    return;
  }
  std::string_view text(*bytes);
  text = text.substr(0, text.find('\0'));
  context.box.setText(context.codec.decode(text));
  context.controls.setStatusText(StatusPanel::message, texts::kLineCountPrefix +
                                                           std::to_wstring(context.box.lineCount()) +
                                                           texts::kLineCountSuffix);
}

void saveScriptFile(ScriptFileContext& context) {
  std::optional<std::wstring> path = context.dialogs.chooseFileToSave(scriptFileDialogOptions());
  if (!path) return;
  std::optional<std::string> bytes = context.codec.encode(context.box.text());
  if (!bytes) {
    context.controls.setStatusText(StatusPanel::message, texts::kScriptNotEncodable);
    return;
  }
  // Written once; only the replacement is tried again.
  std::unique_ptr<PendingWrite> write = context.files.prepareWrite(*path, *bytes);
  WriteResult result = write ? write->replaceTarget() : WriteResult::failed;
  if (result == WriteResult::targetBusy) {
    std::shared_ptr<Waiter> waiter = context.waiters.makeWaiter();
    const std::int64_t giveUpUs = waiter->nowUs() + kSaveRetryForUs;
    while (result == WriteResult::targetBusy && waiter->nowUs() < giveUpUs) {
      waiter->waitUntil(std::min(waiter->nowUs() + kSaveRetryPauseUs, giveUpUs));
      result = write->replaceTarget();
    }
  }
  if (result != WriteResult::written) {
    context.controls.setStatusText(StatusPanel::message, texts::kScriptSaveFailed);
  }
}
