#include "plot/win32/GdiplusCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "win32/Guards.h"

namespace tev::win32 {
namespace {

constexpr Argb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// A memory bitmap lent out as a drawing surface, counting the contexts it lends.
class DibSurface : public DrawingSurface {
 public:
  DibSurface(int width, int height, bool present = true) : width_(width), height_(height), present_(present) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    dc_.Reset(CreateCompatibleDC(nullptr));
    original_ = SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~DibSurface() override { SelectObject(dc_.Get(), original_); }

  int SurfaceWidth() const override { return width_; }
  int SurfaceHeight() const override { return height_; }
  bool FillSurface(std::uint32_t pixel) override {
    if (!present_) return false;
    EXPECT_EQ(lent, 0) << "filled while a context was lent out";
    GdiFlush();
    std::fill(bits_, bits_ + width_ * height_, pixel);
    return true;
  }
  HDC AcquireDc() override {
    if (!present_) return nullptr;
    ++lent;
    ++acquired;
    return dc_.Get();
  }
  void ReleaseDc(HDC dc) override {
    EXPECT_EQ(dc, dc_.Get());
    --lent;
  }

  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  int CountInRow(int y, std::uint32_t colour) const {
    int n = 0;
    for (int x = 0; x < width_; ++x) n += At(x, y) == colour;
    return n;
  }

  int lent = 0;
  int acquired = 0;

 private:
  int width_, height_;
  bool present_;
  UniqueBitmap bitmap_;
  UniqueMemoryDc dc_;  // goes before the bitmap
  HGDIOBJ original_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

TEST(GdiplusCanvas, LaterDrawingLiesOverEarlierWhateverDrewIt) {
  // Lines go through GDI, texts through GDI+: each must land in the order it was asked for.
  DibSurface surface(240, 100);
  {
    GdiplusCanvas canvas(surface);
    ASSERT_TRUE(canvas.Clear(0x808080));
    canvas.Line(kRed, 15.0f, 0, 50, 120, 50);  // a thick band, in two pieces of one stretch
    canvas.Line(kRed, 15.0f, 120, 50, 240, 50);
    canvas.Text(L"MMMMMMMM", 20.0f, true, kBlue, 0.0f, 30.0f);
    canvas.Line(kGreen, 3.0f, 0, 50, 240, 50);
    EXPECT_EQ(canvas.LastFailure(), Gdiplus::Ok);
  }
  EXPECT_EQ(surface.lent, 0);
  EXPECT_EQ(surface.CountInRow(50, 0x00FF00), 240);  // the last line over everything
  EXPECT_GT(surface.CountInRow(45, 0x0000FF), 10);   // the text over the band
  EXPECT_GT(surface.CountInRow(45, 0xFF0000), 10);   // the band where the text left it
  EXPECT_EQ(surface.At(239, 45), 0xFF0000u);         // the second piece was drawn too
  EXPECT_EQ(surface.At(5, 95), 0x808080u);
}

TEST(GdiplusCanvas, ClearingGivesTheContextBackFirstAndDropsPendingLines) {
  DibSurface surface(100, 60);
  {
    GdiplusCanvas canvas(surface);
    canvas.Clear(0x808080);
    canvas.FillEllipse(kRed, 10, 10, 5, 5);
    canvas.Line(kBlue, 3.0f, 0, 30, 99, 30);
    ASSERT_TRUE(canvas.Clear(0x202020));  // checks that no context is lent while it fills
    canvas.Line(kGreen, 3.0f, 0, 40, 100, 40);
  }
  EXPECT_EQ(surface.lent, 0);
  EXPECT_EQ(surface.At(12, 12), 0x202020u);
  EXPECT_EQ(surface.CountInRow(30, 0x0000FF), 0);
  EXPECT_EQ(surface.CountInRow(40, 0x00FF00), 100);
}

TEST(GdiplusCanvas, DotsCoverTheirBox) {
  DibSurface surface(40, 40);
  {
    GdiplusCanvas canvas(surface);
    canvas.Clear(0x808080);
    canvas.FillEllipse(kRed, 10, 10, 5, 5);
  }
  EXPECT_EQ(surface.At(12, 12), 0xFF0000u);  // the centre of a 5 × 5 dot
  EXPECT_EQ(surface.At(12, 10), 0xFF0000u);  // its top and left edges
  EXPECT_EQ(surface.At(10, 12), 0xFF0000u);
  EXPECT_EQ(surface.At(16, 12), 0x808080u);  // nothing beyond its box
  EXPECT_EQ(surface.At(12, 16), 0x808080u);
}

TEST(GdiplusCanvas, WithoutASurfaceNothingHappens) {
  DibSurface surface(40, 40, /*present=*/false);
  GdiplusCanvas canvas(surface);
  EXPECT_FALSE(canvas.Clear(0x808080));
  canvas.Line(kRed, 3.0f, 0, 0, 10, 10);
  canvas.FillEllipse(kRed, 1, 1, 5, 5);
  canvas.Text(L"Ground", 12.0f, true, kBlue, 1.0f, 1.0f);
  const TextExtent extent = canvas.MeasureText(L"Ground", 12.0f, true);
  EXPECT_EQ(extent.width, 0.0f);
  EXPECT_EQ(surface.acquired, 0);
}

}  // namespace
}  // namespace tev::win32
