#pragma once
// The small set of GDI+ drawing operations the plot and the dialog frames use. Each takes the
// graphics first and records a failure there; none reports further.
#include <cstdint>

#include "plot/win32/GdiplusObjects.h"

namespace tev::win32 {

// 0x00BBGGRR (a Windows colour value) to opaque ARGB 0xFFRRGGBB.
std::uint32_t ArgbFromColorRef(COLORREF color);

void DrawLine(GdiGraphics& graphics, const GdiPen& pen, int x1, int y1, int x2, int y2);
void FillDot(GdiGraphics& graphics, const GdiSolidBrush& brush, int x, int y, int width, int height);
// A quarter (or any) arc whose box is `size` × `size` pixels at (x, y).
void DrawCornerArc(GdiGraphics& graphics, const GdiPen& pen, int x, int y, float startDegrees, float sweepDegrees,
                   int size = 8);
// Text anchored at (x, y); length -1 draws up to the terminator.
void DrawTextAt(GdiGraphics& graphics, const wchar_t* text, int length, const GdiFont& font, float x, float y,
                const GdiSolidBrush& brush);
// The bounding box of the text laid out in `layout` (a zero-size rectangle at 0,0 unless given).
Gdiplus::RectF MeasureText(GdiGraphics& graphics, const wchar_t* text, const GdiFont& font,
                           Gdiplus::RectF layout = Gdiplus::RectF(0, 0, 0, 0));
// Takes the rectangle out of the graphics' clip, so later drawing leaves it alone.
void ExcludeClipRect(GdiGraphics& graphics, int x, int y, int width, int height);
void ClearGraphics(GdiGraphics& graphics, std::uint32_t argb);
// The image at its own size, its top-left at (x, y).
void DrawImageAt(GdiGraphics& graphics, const GdiImage& image, int x, int y);

// Graphics drawing into an image; no graphics for no image.
GdiGraphics GraphicsFromImage(const GdiImage& image);

// A font from a device context: the logical font of `font` when given and readable, otherwise
// the context's current font.
GdiFont FontFromDC(HDC dc, HFONT font = nullptr);

// Font queries; on failure they return 0 and the failure is recorded on the object asked.
int FontStyleOf(const GdiFont& font);
float FontSizeOf(const GdiFont& font);
GdiFontFamily FontFamilyOf(const GdiFont& font);
int EmHeightOf(const GdiFontFamily& family, int style);
int CellAscentOf(const GdiFontFamily& family, int style);
int CellDescentOf(const GdiFontFamily& family, int style);

}  // namespace tev::win32
