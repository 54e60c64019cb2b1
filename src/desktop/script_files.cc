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

ScriptSaves::ScriptSaves(const ScriptFileContext& context, RunThreads& threads, WindowThread& windowThread)
    : context_(context), threads_(threads), windowThread_(windowThread) {}

void ScriptSaves::save() {
  if (retrying_) return;
  std::optional<std::wstring> path = context_.dialogs.chooseFileToSave(scriptFileDialogOptions());
  if (!path) return;
  std::optional<std::string> bytes = context_.codec.encode(context_.box.text());
  if (!bytes) {
    context_.controls.setStatusText(StatusPanel::message, texts::kScriptNotEncodable);
    return;
  }
  std::shared_ptr<PendingWrite> write = context_.files.prepareWrite(*path, *bytes);
  const WriteResult result = write ? write->replaceTarget() : WriteResult::failed;
  if (result == WriteResult::targetBusy) {
    retrying_ = true;
    std::shared_ptr<Waiter> waiter = context_.waiters.makeWaiter();
    threads_.start([&windowThread = windowThread_, write, waiter, self = std::weak_ptr<ScriptSaves*>(self_)] {
      WriteResult tried = WriteResult::targetBusy;
      const std::int64_t giveUpUs = waiter->nowUs() + kSaveRetryForUs;
      while (tried == WriteResult::targetBusy && waiter->nowUs() < giveUpUs) {
        waiter->waitUntil(std::min(waiter->nowUs() + kSaveRetryPauseUs, giveUpUs));
        tried = write->replaceTarget();
      }
      windowThread.post([self, tried] {
        if (std::shared_ptr<ScriptSaves*> saves = self.lock()) {
          (*saves)->retrying_ = false;
          if (tried != WriteResult::written) {
            (*saves)->context_.controls.setStatusText(StatusPanel::message, texts::kScriptSaveFailed);
          }
        }
      });
    });
    return;
  }
  if (result != WriteResult::written) context_.controls.setStatusText(StatusPanel::message, texts::kScriptSaveFailed);
}

bool ScriptSaves::finish(std::chrono::milliseconds patience) { return threads_.joinAll(patience); }
