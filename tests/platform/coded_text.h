#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "platform/script_files.h"

// Bytes of a file and the text they stand for.
struct CodedText {
  std::string bytes;
  std::wstring text;
};

// Each one's bytes decode to its text, and the text encodes back to them.
inline void expectCodedBothWays(TextCodec& codec, std::initializer_list<CodedText> cases) {
  for (const CodedText& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(codec.decode(c.bytes), c.text);
    EXPECT_EQ(codec.encode(c.text), c.bytes);
  }
}
