#include "support/script_lines.h"

#include <sstream>

std::vector<ScriptLine> parseScript(const std::wstring& text) {
  std::vector<ScriptLine> lines;
  std::wistringstream in(text);
  for (std::wstring row; std::getline(in, row);) {
    std::wistringstream fields(row);
    ScriptLine line;
    if (!(fields >> line.time >> line.kind >> line.code >> line.x >> line.y)) continue;
    line.hasExtra = static_cast<bool>(fields >> line.extra);
    lines.push_back(line);
  }
  return lines;
}
