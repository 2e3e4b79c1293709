#pragma once
// One way to own what must be given back: Unique<T, Traits> (model/Unique.h) for handles,
// descriptors, sockets, C files, device contexts and GDI objects, with a traits struct per kind.
// This file holds the Windows kinds; a kind used in one place may declare its traits beside its
// user. GDI+ objects are Unique's that also remember their last failure (plot/win32/GdiplusObjects.h);
// COM objects (DirectDraw) are held by Microsoft::WRL::ComPtr.
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
using UniquePen = Unique<HPEN, GdiObjectTraits<HPEN>>;
using UniqueFont = Unique<HFONT, GdiObjectTraits<HFONT>>;

struct MenuTraits {  // a menu not (or no longer) attached to a window
  static HMENU Invalid() { return nullptr; }
  static bool Valid(HMENU m) { return m != nullptr; }
  static void Release(HMENU m) { ::DestroyMenu(m); }
};
using UniqueMenu = Unique<HMENU, MenuTraits>;

struct IconTraits {  // LoadImageW's icons
  static HICON Invalid() { return nullptr; }
  static bool Valid(HICON icon) { return icon != nullptr; }
  static void Release(HICON icon) { ::DestroyIcon(icon); }
};
using UniqueIcon = Unique<HICON, IconTraits>;

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
