#pragma once

#include <string>
#include <string_view>
#include <vector>

// True when another copy of this program already runs: our own executable
// name stands at least twice among the running processes' executable names.
// Names are compared whole, ignoring the case of ASCII letters; callers fold
// other letters beforehand if the platform's file names are case-blind there.
bool isSecondCopy(const std::vector<std::wstring>& runningNames, std::wstring_view ownName);
