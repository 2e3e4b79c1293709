#include "sim/SimPath.h"

#include <cwchar>

namespace tev {

std::wstring SimInterfacePath(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial) {
  wchar_t ids[32];
  std::swprintf(ids, 32, L"vid_%04x&pid_%04x", static_cast<unsigned>(vendorId), static_cast<unsigned>(productId));
  return L"\\\\?\\hid#" + std::wstring(ids) + L"#sim&" + std::wstring(serial.begin(), serial.end()) +
         L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

bool IsValidSimSerial(const std::string& serial) {
  if (serial.size() > 32) return false;
  for (char c : serial) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace tev
