#include "model/Versions.h"

#include <cwchar>

namespace tev {

std::wstring FormatVersion(std::uint16_t version) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%x.%02x", static_cast<unsigned>(version >> 8), static_cast<unsigned>(version & 0xFF));
  return text;
}

std::wstring FormatVersionFamily(std::uint16_t version) {
  std::wstring text = FormatVersion(version);
  text.back() = L'x';
  return text;
}

}  // namespace tev
