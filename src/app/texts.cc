#include "app/texts.h"

namespace texts {

std::wstring windowTitle() { return std::wstring(kTitlePrefix) + kPublisherDomain; }

std::wstring 标签2FontFace(const std::function<bool(const std::wstring&)>& installed) {
  for (const wchar_t* face : k标签2Fonts) {
    if (installed(face)) return face;
  }
  return {};
}

}  // namespace texts
