#include "desktop/script_files.h"

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
  if (!context.files.replaceAll(*path, *bytes)) {
    context.controls.setStatusText(StatusPanel::message, texts::kScriptSaveFailed);
  }
}
