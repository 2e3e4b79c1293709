// Recognising the connected device in a removal notification.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/AltimeterDevice.h"
#include "model/DebugLog.h"

namespace tev {
namespace {

constexpr std::size_t kMaxNarrowPath = 2047;

// Device paths are ASCII; anything else is shown as '?' rather than depending on a code page.
std::string NarrowForLog(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) {
    if (narrow.size() == kMaxNarrowPath) break;
    narrow.push_back(static_cast<std::uint32_t>(c) < 0x80 ? static_cast<char>(c) : '?');
  }
  return narrow;
}

wchar_t FoldCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Compared on the wide text, so that two paths differing only outside ASCII never match.
bool SamePathIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace

bool AltimeterDevice::IsSameDevice(const DeviceBroadcast& broadcast) const {
  if (broadcast.deviceType != kBroadcastDeviceInterface) {
    DebugLog("Match Failed.");
    return false;
  }
  DebugLog("->" + NarrowForLog(devicePath));
  DebugLog("->" + NarrowForLog(broadcast.name));
  if (SamePathIgnoringCase(devicePath, broadcast.name)) return true;
  DebugLog("Match Failed.");
  return false;
}

}  // namespace tev
