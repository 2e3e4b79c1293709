#pragma once
// The Windows kinds for the one handle owner (model/Unique.h): handles and GDI objects. A kind used in
// one place only may declare its traits beside its user. Not yet folded into it: WindowDc below, the
// GDI+ objects (plot/win32), DirectDraw's COM pointers, the C files of model/ and the sim link's socket.
#include <windows.h>

#include "model/Unique.h"

namespace tev::win32 {

using tev::Unique;

struct FileHandleTraits {  // CreateFileW: INVALID_HANDLE_VALUE on failure
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Release(HANDLE h) { ::CloseHandle(h); }
};
using UniqueFileHandle = Unique<HANDLE, FileHandleTraits>;

struct KernelHandleTraits {  // events, threads: null on failure
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE h) { ::CloseHandle(h); }
};
using UniqueKernelHandle = Unique<HANDLE, KernelHandleTraits>;

template <typename G>
struct GdiObjectTraits {  // brushes, pens, bitmaps, fonts
  static G Invalid() { return nullptr; }
  static bool Valid(G g) { return g != nullptr; }
  static void Release(G g) { ::DeleteObject(g); }
};
using UniqueBrush = Unique<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueFont = Unique<HFONT, GdiObjectTraits<HFONT>>;

// A window's device context, returned to the window when the guard ends.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace tev::win32
