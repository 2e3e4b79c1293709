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

struct MemoryDcTraits {  // CreateCompatibleDC
  static HDC Invalid() { return nullptr; }
  static bool Valid(HDC dc) { return dc != nullptr; }
  static void Release(HDC dc) { ::DeleteDC(dc); }
};
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;

// GetDC's context goes back to the window it came from: the value remembers that window.
struct WindowDcTraits {
  struct Value {
    HWND window = nullptr;
    HDC dc = nullptr;
  };
  static Value Invalid() { return {}; }
  static bool Valid(Value value) { return value.dc != nullptr; }
  static void Release(Value value) { ::ReleaseDC(value.window, value.dc); }
};

// A window's device context (the screen's for a null window) for as long as the guard lives.
class WindowDc : public Unique<WindowDcTraits::Value, WindowDcTraits> {
 public:
  explicit WindowDc(HWND window) : Unique({window, ::GetDC(window)}) {}
  HDC Dc() const { return Get().dc; }
};

}  // namespace tev::win32
