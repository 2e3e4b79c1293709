#include "ui/framework/CommonPaint.h"

#include "plot/win32/DrawingPrimitives.h"

namespace tev {

namespace {

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH logical = {};
  ::GetObjectW(brush, sizeof logical, &logical);
  return logical.lbColor;
}

INT_PTR EraseBackground(HDC dc, const DialogLook& look) {
  win32::GdiGraphics graphics = win32::GraphicsFromDc(dc);
  win32::ClearGraphics(graphics, win32::ArgbFromColorRef(BrushColour(look.background)));
  ::ValidateRect(look.dialog, nullptr);
  return 1;
}

// Painting is all done by the erase step and the controls; what matters is that the update region
// is validated, or WM_PAINT would come again and again.
INT_PTR Paint(const DialogLook& look) {
  PAINTSTRUCT ps;
  ::BeginPaint(look.dialog, &ps);
  ::EndPaint(look.dialog, &ps);
  return 1;
}

}  // namespace

INT_PTR HandleCommonPaint(UINT message, WPARAM wParam, LPARAM lParam, const DialogLook& look) {
  switch (message) {
    case WM_ERASEBKGND:
      return EraseBackground(reinterpret_cast<HDC>(wParam), look);
    case WM_DRAWITEM:
      DrawGroupFrame(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), look.dialog, BrushColour(look.background),
                     look.frames, look.dpi);
      return 1;
    case WM_PAINT:
      return Paint(look);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(look.background);
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(look.background);
    default:
      return 0;
  }
}

}  // namespace tev
