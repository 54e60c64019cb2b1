#include "app/single_instance.h"

#include <algorithm>

namespace {

wchar_t foldAscii(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool equalIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return foldAscii(x) == foldAscii(y); });
}

}  // namespace

bool isSecondCopy(InstanceClaim claim, const std::vector<RunningProcess>& running, std::uint32_t ownSession,
                  std::wstring_view ownName) {
  if (ownName.empty()) return false;
  if (claim == InstanceClaim::claimed) return false;
  if (claim == InstanceClaim::heldByAnother) return true;
  auto copies = std::count_if(running.begin(), running.end(), [&](const RunningProcess& process) {
    return process.session == ownSession && equalIgnoringCase(process.name, ownName);
  });
  return copies >= 2;
}
