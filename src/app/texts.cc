#include "app/texts.h"

namespace texts {

std::wstring windowTitle() { return std::wstring(kTitlePrefix) + kPublisherDomain; }

}  // namespace texts
