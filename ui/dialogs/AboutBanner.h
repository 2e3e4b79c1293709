#pragma once
// The About banner at the dialog's DPI: the bitmap resource as it is at 96 DPI; at any other DPI
// the same picture drawn at the scaled size with bicubic filtering, so that it neither stays small
// nor turns blocky.
#include <windows.h>

namespace tev {

// A bitmap the caller owns; null when it could not be made.
HBITMAP LoadAboutBanner(UINT dpi);

}  // namespace tev
