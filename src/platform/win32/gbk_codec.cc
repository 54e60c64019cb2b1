#include "platform/win32/gbk_codec.h"

#include <windows.h>

namespace {

constexpr UINT kGbkCodePage = 936;

class Win32StrictGbk : public StrictGbk {
 public:
  bool decode(std::string_view bytes, std::wstring& text) const override {
    int length = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (length <= 0) return false;
    text.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                               text.data(), length) == length;
  }

  bool encode(std::wstring_view text, std::string& bytes) const override {
    bytes.clear();
    if (text.empty()) return true;
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, &usedDefault);
    if (length <= 0) return false;
    bytes.resize(static_cast<std::size_t>(length));
    length = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                 bytes.data(), length, nullptr, &usedDefault);
    return length == static_cast<int>(bytes.size()) && !usedDefault;
  }
};

}  // namespace

const StrictGbk& systemGbk() {
  static const Win32StrictGbk strict;
  return strict;
}
