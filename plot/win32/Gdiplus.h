#pragma once
// The GDI+ flat interface, as the drawing layer uses it.
#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

namespace tev::win32 {

namespace gdip = Gdiplus::DllExports;
using Gdiplus::GpStatus;

}  // namespace tev::win32
