#pragma once
// Support for the drawing tests under Wine (and every in-process test of the Windows shell): GDI+
// started for the whole program, a plain top-level window to draw for, and PNG files of what was
// drawn for people to look at.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tev::win32::testing {

class TestWindow {
 public:
  TestWindow(int width, int height);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return window_; }
  int ClientWidth() const;
  int ClientHeight() const;
  void PumpMessages() const;

 private:
  HWND window_ = nullptr;
};

// Saves 0x00RRGGBB pixels as build/.../screenshots/<name>.png (name may hold a folder); false when it
// could not.
bool SaveScreenshot(const std::wstring& name, const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace tev::win32::testing
