#pragma once
// A Canvas drawing on a device context that a surface lends out. The context and the graphics
// are taken on the first drawing call and returned when the canvas ends or the surface is
// cleared; pens, brushes and fonts are made on first use and deleted with the canvas.
//
// Texts and arcs go through GDI+. Lines and dots, thousands per frame, go through GDI on the
// same context: under Wine a GDI+ line costs 0.1 to 0.4 ms and a flight of 3,968 samples took
// seconds to paint, where the same lines through GDI take about 2 microseconds each. Consecutive
// pieces of one straight stretch are drawn as one line.
#include <windows.h>

#include <memory>
#include <vector>

#include "plot/Canvas.h"
#include "plot/LineRun.h"
#include "plot/win32/GdiplusObjects.h"
#include "win32/Guards.h"

namespace tev::win32 {

// What a GDI+ canvas draws on.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual int SurfaceWidth() const = 0;
  virtual int SurfaceHeight() const = 0;
  // Fills the whole surface with a raw pixel value; false when there is no surface.
  virtual bool FillSurface(std::uint32_t pixel) = 0;
  // A device context on the surface, or null; every context lent is given back.
  virtual HDC AcquireDc() = 0;
  virtual void ReleaseDc(HDC dc) = 0;
};

class GdiplusCanvas : public Canvas {
 public:
  explicit GdiplusCanvas(DrawingSurface& surface);
  ~GdiplusCanvas() override;
  GdiplusCanvas(const GdiplusCanvas&) = delete;
  GdiplusCanvas& operator=(const GdiplusCanvas&) = delete;

  int Width() const override { return surface_.SurfaceWidth(); }
  int Height() const override { return surface_.SurfaceHeight(); }
  bool Clear(std::uint32_t pixel) override;
  void Line(Argb color, float penWidth, int x1, int y1, int x2, int y2) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void Arc(Argb color, float penWidth, int x, int y, int width, int height, float startDegrees,
           float sweepDegrees) override;
  void Text(std::wstring_view text, float points, bool bold, Argb color, float x, float y) override;
  TextExtent MeasureText(std::wstring_view text, float points, bool bold) override;

  // The last failing status of the drawing calls, Ok when none failed.
  GpStatus LastFailure() const;

 private:
  bool Begin();              // the context and the graphics on it
  GdiGraphics* Graphics();  // ready for GDI+ drawing
  HDC GdiContext();         // ready for GDI drawing  // the context, ready for GDI drawing
  void EndDrawing();
  void SelectGdi(Argb color, int penWidth);
  void DrawGdiLine(const LineSegment& segment);
  void FlushLines();  // draws the pending straight stretch before anything else is drawn
  const GdiPen& Pen(Argb color, float width);
  const GdiSolidBrush& Brush(Argb color);
  const GdiFont& Font(float points, bool bold);

  struct PenEntry {
    Argb color;
    float width;
    std::unique_ptr<GdiPen> pen;
  };
  struct BrushEntry {
    Argb color;
    std::unique_ptr<GdiSolidBrush> brush;
  };
  struct FontEntry {
    float points;
    bool bold;
    std::unique_ptr<GdiFont> font;
  };

  DrawingSurface& surface_;
  HDC dc_ = nullptr;
  GdiGraphics graphics_;
  GpStatus lastFailure_ = Gdiplus::Ok;  // of graphics objects already let go
  std::vector<PenEntry> pens_;
  std::vector<BrushEntry> brushes_;
  std::vector<FontEntry> fonts_;

  // GDI pens (geometric, flat ends) and brushes, keyed like the GDI+ ones.
  struct GdiPenEntry {
    Argb color;
    int width;
    UniquePen pen;
  };
  struct GdiBrushEntry {
    Argb color;
    UniqueBrush brush;
  };
  std::vector<GdiPenEntry> gdiPens_;
  std::vector<GdiBrushEntry> gdiBrushes_;
  HGDIOBJ originalPen_ = nullptr;
  HGDIOBJ originalBrush_ = nullptr;
  HPEN selectedPen_ = nullptr;
  HBRUSH selectedBrush_ = nullptr;
  bool gdiplusPending_ = false;  // GDI+ drew since the last GDI call
  bool gdiPending_ = false;      // GDI drew since the last GDI+ call
  LineRun lines_;
};

}  // namespace tev::win32
