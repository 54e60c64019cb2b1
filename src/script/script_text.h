#pragma once

// Lines of the script box's text, counted as the multi-line edit control
// counts them: only CR LF ends a line, the text after the last CR LF is a line
// of its own (also when empty), so the empty text is one line.

#include <cstdint>
#include <string_view>

// Saturates at INT32_MAX, beyond any text an edit control holds.
std::int32_t boxLineCount(std::wstring_view text);

// Line index without its CR LF, a view into text; empty for an index outside
// 0..boxLineCount(text)-1.
std::wstring_view boxLine(std::wstring_view text, std::int32_t index);
