#pragma once

// Resource identifiers shared by the C++ code and res/tamsik.rc, so plain
// #defines only: the resource compiler understands nothing else.

#define IDI_TAMSIK 1
