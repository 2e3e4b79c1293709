#pragma once
// The dialogs' private messages.
#include <windows.h>

namespace tev {

// Posted whenever a dialog's status text has grown: the dialog thread shows it.
inline constexpr UINT WM_STATUS_REFRESH = WM_USER + 1;
// Posted by a dialog's worker as it ends, so that the dialog can act on what it put off meanwhile
// (a device arrival).
inline constexpr UINT WM_WORKER_ENDED = WM_USER + 2;

}  // namespace tev
