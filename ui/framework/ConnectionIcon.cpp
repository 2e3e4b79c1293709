#include "ui/framework/ConnectionIcon.h"

#include "resources/ResourceIds.h"

namespace tev {

void PostConnectionIcon(HWND dialog, int iconControlId, bool connected) {
  // Shared icons belong to the system: loading one again costs nothing and nothing leaks.
  const HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr),
                                   MAKEINTRESOURCEW(connected ? IDI_CONNECTED : IDI_NOT_CONNECTED), IMAGE_ICON, 48,
                                   48, LR_SHARED);
  ::PostMessageW(::GetDlgItem(dialog, iconControlId), STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

}  // namespace tev
