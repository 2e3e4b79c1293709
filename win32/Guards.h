#pragma once
// RAII for every handle, GDI and GDI+ object of the Windows shell: one template, a traits struct per kind.
// A kind used in one place only may declare its traits beside its user.
#include <windows.h>

#include <utility>

namespace tev::win32 {

// Traits: static T Invalid(); static bool Valid(T); static void Release(T).
template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  ~Unique() { Reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }

  T Get() const { return value_; }
  bool Valid() const { return Traits::Valid(value_); }
  explicit operator bool() const { return Valid(); }
  T Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) {
    if (Traits::Valid(value_)) Traits::Release(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

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
