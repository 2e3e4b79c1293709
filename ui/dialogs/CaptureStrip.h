#pragma once
// The picture of the Capture Data dialog's set strip: 128 × 2 pixels, one column per packet,
// drawn by a worker as packets arrive and painted by the dialog thread, stretched so that every
// packet is a crisp block.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "plot/win32/GdiplusObjects.h"

namespace tev {

class SetStripImage {
 public:
  SetStripImage();
  SetStripImage(const SetStripImage&) = delete;
  SetStripImage& operator=(const SetStripImage&) = delete;

  // Black, then the given ARGB colour in each column from the left; any thread.
  void Draw(const std::vector<std::uint32_t>& columnColors);
  // Fills the strip's client area (at `dpi`) with the top row, stretched; the dialog thread.
  void Paint(HDC dc, const RECT& client, UINT dpi);

 private:
  std::mutex mutex_;
  win32::GdiImage bitmap_;
};

}  // namespace tev
