#include "fakes/fake_script_box.h"

#include "script/script_text.h"

std::int32_t FakeScriptBox::lineCount() { return ScriptSnapshot(text_).lineCount(); }
