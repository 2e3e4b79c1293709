#include "ui/framework/ConnectionIcon.h"

#include <map>
#include <mutex>
#include <utility>

#include "resources/ResourceIds.h"
#include "win32/Dpi.h"

namespace tev {

namespace {

constexpr int kIconSize = 48;

// One icon per picture and size, kept for the program's life (a few at most: two pictures, a size
// per DPI met). Shared icons cannot serve here: the system hands a shared icon back at the size it
// was first loaded at, whatever size is asked for later.
HICON ConnectionIconAt(bool connected, int size) {
  static std::mutex mutex;
  static std::map<std::pair<bool, int>, HICON> icons;
  std::lock_guard lock(mutex);
  HICON& icon = icons[{connected, size}];
  if (!icon) {
    icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(connected ? IDI_CONNECTED : IDI_NOT_CONNECTED),
                                           IMAGE_ICON, size, size, 0));
  }
  return icon;
}

}  // namespace

void PostConnectionIcon(HWND dialog, int iconControlId, bool connected, UINT dpi) {
  const HICON icon = ConnectionIconAt(connected, win32::ScaleToDpi(kIconSize, dpi));
  ::PostMessageW(::GetDlgItem(dialog, iconControlId), STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

}  // namespace tev
