// The set strip: its picture, and the subclass procedure that paints it and takes clicks.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "model/DebugLog.h"
#include "plot/win32/DrawingPrimitives.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/logic/CaptureControls.h"
#include "ui/logic/SetStrip.h"
#include "win32/WindowObject.h"

namespace tev {

SetStripImage::SetStripImage() : bitmap_(win32::NewBitmap(kStripColumns, 2)) {}

void SetStripImage::Draw(const std::vector<std::uint32_t>& columnColors) {
  std::lock_guard lock(mutex_);
  if (!bitmap_.Valid()) return;
  for (int x = 0; x < kStripColumns; ++x) {
    const std::size_t column = static_cast<std::size_t>(x);
    const std::uint32_t color = column < columnColors.size() ? columnColors[column] : kStripBackground;
    for (int y = 0; y < 2; ++y) bitmap_.Record(win32::gdip::GdipBitmapSetPixel(win32::BitmapOf(bitmap_), x, y, color));
  }
}

void SetStripImage::Paint(HDC dc, const RECT& client, UINT dpi) {
  win32::GdiGraphics graphics = win32::GraphicsFromDc(dc);
  if (!graphics.Valid()) return;
  win32::ClearGraphics(graphics, kStripBackground);
  graphics.Record(win32::gdip::GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeNearestNeighbor));
  // Pixel edges, not centres, so that the first and last columns are whole blocks too.
  graphics.Record(win32::gdip::GdipSetPixelOffsetMode(graphics.Get(), Gdiplus::PixelOffsetModeHalf));
  std::lock_guard lock(mutex_);
  if (!bitmap_.Valid()) return;
  // Twice the height: the top row fills the strip.
  graphics.Record(win32::gdip::GdipDrawImageRectI(graphics.Get(), bitmap_.Get(), 0, 0,
                                                  StripPictureWidth(client.right, dpi), client.bottom * 2));
}

void CCaptureWindow::DrawSetStrip() {
  std::vector<std::uint32_t> colors;
  {
    std::lock_guard lock(device.packetsMutex);
    colors = StripColumnColors(device.packets, selectedSet_);
  }
  stripBitmap_.Draw(colors);
}

void CCaptureWindow::InvalidateStrip() const { ::InvalidateRect(Item(IDC_CAPTURE_STRIP), nullptr, TRUE); }

LRESULT CCaptureWindow::OnStripClick(HWND strip, LPARAM lParam) {
  // The packets change under a running worker: no pick until it is done with them.
  if (WorkerRunning()) return 0;
  const int x = LOWORD(lParam);
  RECT client = {};
  ::GetClientRect(strip, &client);
  const int column = StripColumnAt(x, client.right, Dpi());
  bool canSave = false;
  {
    std::lock_guard lock(device.packetsMutex);
    if (device.packets.empty()) return 0;
    selectedSet_ = PickSetAt(device.packets, column, selectedSet_);
    canSave = CanSaveSelected(selectedSet_, CountSets(device.packets));
  }
  DebugLog("XPos: " + std::to_string(x));
  DebugLog("Selected Set: " + std::to_string(column));
  EnableItem(IDC_CAPTURE_SAVE_SELECTED, canSave);
  DrawSetStrip();
  InvalidateStrip();
  return 0;
}

LRESULT CALLBACK CCaptureWindow::StripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR) {
  // The strip works for its dialog's object.
  auto* dialog = static_cast<CCaptureWindow*>(win32::WindowObject<CDialogWindow>(::GetParent(strip)));
  if (!dialog) return ::DefSubclassProc(strip, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client = {};
      ::GetClientRect(strip, &client);
      dialog->stripBitmap_.Paint(reinterpret_cast<HDC>(wParam), client, dialog->Dpi());
      ::ValidateRect(strip, nullptr);
      return 1;
    }
    case WM_LBUTTONDOWN:
      return dialog->OnStripClick(strip, lParam);
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(strip, &CCaptureWindow::StripProc, id);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(strip, message, wParam, lParam);
}

}  // namespace tev
