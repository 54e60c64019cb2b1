#pragma once

// One line of a script: `time kind code x y [extra]`, decimal integers
// separated by single spaces. kind 3 is a mouse action (code = MOUSEEVENTF_
// flag word, x y = screen point); any other kind is a key action (kind =
// transition, code = virtual-key code, x = y = 0).
//
// The sixth field, `extra`, is optional. A mouse line carries the event's data
// there: the signed wheel delta for codes 2048 and 4096, the side button (1 or
// 2) for codes 128 and 256. A key line carries 1 or 0 there only when the
// key's extended flag is not the one usual for its code (numeric-pad Enter is
// extended, numeric-pad Home with NumLock off is not). A reader of five fields
// reads these lines as well, since it ignores what follows the fifth.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ScriptLine {
  std::int32_t time = 0;
  std::int32_t kind = 0;
  std::int32_t code = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  // Absent when the line has no usable sixth field.
  std::optional<std::int32_t> extra;

  friend bool operator==(const ScriptLine&, const ScriptLine&) = default;
};

// The recorder's lines, each ended by CR LF: "t T V 0 0" and "t 3 M X Y",
// each followed by " E" when given an extra value E.
std::wstring keyLine(std::int32_t time, std::int32_t transition, std::int32_t vk,
                     std::optional<bool> extended = std::nullopt);
std::wstring mouseLine(std::int32_t time, std::int32_t code, std::int32_t x, std::int32_t y,
                       std::optional<std::int32_t> data = std::nullopt);

// Reads a line as the player does. The line is split at every U+0020 only;
// the first five fields are time, kind, code, x, y, the sixth is `extra`, and
// anything after it is ignored unread. nullopt (the line is skipped) unless
// all five are usable; a sixth field that is not usable leaves `extra` absent.
//
// A field is usable when it is entirely  [+-] digits [. digits] [(e|E) [+-] digits]
// with at least one mantissa digit ("12.", ".5" count). Its value is truncated
// toward zero; values beyond the int32 range saturate. Exactly, without going
// through a double, and in time linear in the field's length.
//
//   field                          answer
//   12.9 / -3.7 / -0.5 / +7        12 / -3 / 0 / 7
//   1e3 / 2.5E-1                   1000 / 0
//   1e12 / 1e400 / 10 MB of digits INT32_MAX
//   -1e12 / -2147483649            INT32_MIN
//   nan, inf, 0x10, 12abc, -, .    unusable: not a decimal number
//   "" (two spaces in a row, or a leading space)   unusable
//   NUL, tab, other controls, a stray CR, unpaired surrogates, non-ASCII
//   digits, any other character    unusable
//
// A leading or doubled space therefore makes an empty field and costs the
// line; whatever follows the fifth field, however long, does not. A line of
// any length (10 MB) is read in place, up to the end of its sixth field.
std::optional<ScriptLine> readScriptLine(std::wstring_view line);
