#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/processes.h"

// True when another copy of this program already runs in this session. The
// session's claim decides when there is one: of two copies started at the
// same moment both see each other in the process list, but only one gets
// the claim. Without an answer from the claim, another process of our own
// session with our executable name is another copy. Names are compared
// whole, ignoring the case of ASCII letters; callers fold other letters
// beforehand if the platform's file names are case-blind there.
bool isSecondCopy(InstanceClaim claim, const std::vector<RunningProcess>& running, std::uint32_t ownSession,
                  std::wstring_view ownName);
