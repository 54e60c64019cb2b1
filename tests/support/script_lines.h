#pragma once

// The numbers of a script's lines, for tests and benchmarks that check what
// tamsik.exe recorded or will play.

#include <string>
#include <vector>

struct ScriptLine {
  long time = 0, kind = 0, code = 0, x = 0, y = 0;
  long extra = 0;  // the sixth field, 0 where there is none
  bool hasExtra = false;
};

// The lines that begin with five numbers; the others are left out.
std::vector<ScriptLine> parseScript(const std::wstring& text);
