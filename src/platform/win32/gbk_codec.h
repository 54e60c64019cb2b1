#pragma once

#include "platform/win32/lossless_gbk.h"

// Code page 936 as the system has it, whatever the system's ANSI code page.
const StrictGbk& systemGbk();

// The encoding of script files: GBK, lossless, on the system's code page 936.
class GbkCodec : public LosslessGbk {
 public:
  GbkCodec() : LosslessGbk(systemGbk()) {}
};
