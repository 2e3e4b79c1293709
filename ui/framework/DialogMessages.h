#pragma once
// The dialogs' private messages.
#include <windows.h>

namespace tev {

// Posted whenever a dialog's status text has grown: the dialog thread shows it.
inline constexpr UINT WM_STATUS_REFRESH = WM_USER + 1;
// Posted by a dialog's worker as it ends, so that the dialog can give the controls back and act on
// what it put off meanwhile (a device arrival). From WM_APP on: the WM_USER range above the status
// refresh is where a dialog's own messages (DM_SETDEFID, DM_REPOSITION) live.
inline constexpr UINT WM_WORKER_ENDED = WM_APP + 1;

}  // namespace tev
