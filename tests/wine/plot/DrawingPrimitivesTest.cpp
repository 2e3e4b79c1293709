#include "plot/win32/DrawingPrimitives.h"

#include <gtest/gtest.h>

#include "win32/Guards.h"

namespace tev::win32 {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// A 64 × 64 bitmap to draw on, cleared to white.
struct Sheet {
  GdiImage image = NewBitmap(64, 64);
  GdiGraphics graphics = GraphicsFromImage(image);
  Sheet() { ClearGraphics(graphics, kWhite); }
  std::uint32_t At(int x, int y) const {
    Gdiplus::ARGB colour = 0;
    gdip::GdipBitmapGetPixel(BitmapOf(image), x, y, &colour);
    return colour;
  }
  int Count(int x0, int y0, int x1, int y1, std::uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
    return n;
  }
};

TEST(DrawingPrimitives, LinesDotsAndArcsLandWhereAsked) {
  Sheet sheet;
  ASSERT_TRUE(sheet.graphics.Valid());
  GdiPen red = NewPen(kRed, 1.0f);
  GdiPen black = NewPen(kBlack, 1.0f);
  GdiSolidBrush blue = NewSolidBrush(kBlue);

  DrawLine(sheet.graphics, red, 0, 10, 63, 10);
  EXPECT_EQ(sheet.At(30, 10), kRed);
  EXPECT_EQ(sheet.At(30, 12), kWhite);

  FillDot(sheet.graphics, blue, 40, 40, 5, 5);
  EXPECT_EQ(sheet.At(42, 42), kBlue);
  EXPECT_EQ(sheet.Count(0, 30, 64, 64, kBlue), sheet.Count(39, 39, 46, 46, kBlue));

  // A corner arc stays inside its 8 × 8 box (one pixel of pen either side).
  DrawCornerArc(sheet.graphics, black, 20, 20, 180.0f, 90.0f);
  const int inside = sheet.Count(19, 19, 30, 30, kBlack);
  EXPECT_GT(inside, 3);
  EXPECT_EQ(sheet.Count(0, 0, 64, 64, kBlack), inside);
  EXPECT_EQ(sheet.graphics.LastFailure(), Gdiplus::Ok);
}

TEST(DrawingPrimitives, ExcludedRectanglesAreLeftAlone) {
  Sheet sheet;
  ExcludeClipRect(sheet.graphics, 0, 0, 32, 64);
  ExcludeClipRect(sheet.graphics, 32, 0, 32, 8);
  ClearGraphics(sheet.graphics, kBlue);
  EXPECT_EQ(sheet.At(5, 20), kWhite);
  EXPECT_EQ(sheet.At(40, 4), kWhite);
  EXPECT_EQ(sheet.At(40, 20), kBlue);
}

TEST(DrawingPrimitives, FailuresAreRememberedNotRaised) {
  GdiImage none;
  GdiGraphics graphics = GraphicsFromImage(none);
  EXPECT_FALSE(graphics.Valid());
  EXPECT_NE(graphics.LastFailure(), Gdiplus::Ok);

  Sheet sheet;
  GdiPen pen = NewPen(kRed, 1.0f);
  DrawLine(sheet.graphics, pen, 0, 0, 10, 10);
  EXPECT_EQ(sheet.graphics.LastFailure(), Gdiplus::Ok);
  GdiFont noFont;
  GdiSolidBrush brush = NewSolidBrush(kRed);
  DrawTextAt(sheet.graphics, L"x", -1, noFont, 0, 0, brush);  // a call that fails
  EXPECT_EQ(sheet.graphics.LastFailure(), Gdiplus::InvalidParameter);
  DrawLine(sheet.graphics, pen, 0, 0, 10, 10);  // a later success does not hide it
  EXPECT_EQ(sheet.graphics.LastFailure(), Gdiplus::InvalidParameter);
}

TEST(DrawingPrimitives, FontsAndText) {
  // "Arial" is a replacement under Wine; an unknown family falls back to the generic sans-serif.
  for (const wchar_t* family : {L"Arial", L"No Such Family Anywhere"}) {
    GdiFont font = NewFont(family, 12.0f, true);
    ASSERT_TRUE(font.Valid());
    EXPECT_EQ(FontSizeOf(font), 12.0f);
    EXPECT_EQ(FontStyleOf(font) & Gdiplus::FontStyleBold, Gdiplus::FontStyleBold);
  }

  Sheet sheet;
  GdiFont font = NewFont(L"Arial", 12.0f, true);
  const Gdiplus::RectF box = MeasureText(sheet.graphics, L"Status", font);
  EXPECT_GT(box.Width, 20.0f);
  EXPECT_GT(box.Height, 10.0f);
  GdiSolidBrush black = NewSolidBrush(kBlack);
  DrawTextAt(sheet.graphics, L"Status", -1, font, 2.0f, 2.0f, black);
  const int ink = sheet.Count(0, 0, 64, 64, kBlack);
  EXPECT_GT(ink, 10);
  EXPECT_EQ(sheet.Count(0, 0, 2 + static_cast<int>(box.Width) + 1, 2 + static_cast<int>(box.Height) + 1, kBlack), ink);
}

TEST(DrawingPrimitives, FontFromADeviceContext) {
  const UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(memory);
  const HDC dc = memory.Get();
  UniqueFont dialogFont(CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Microsoft Sans Serif"));
  ASSERT_TRUE(dialogFont);

  {
    GdiFont fromHandle = FontFromDC(dc, dialogFont.Get());
    ASSERT_TRUE(fromHandle.Valid());
    EXPECT_GT(FontSizeOf(fromHandle), 0.0f);
    EXPECT_EQ(FontStyleOf(fromHandle) & Gdiplus::FontStyleBold, Gdiplus::FontStyleBold);

    // What the dialog frames compute a caption's line height from.
    GdiFontFamily family = FontFamilyOf(fromHandle);
    ASSERT_TRUE(family.Valid());
    const int style = FontStyleOf(fromHandle);
    EXPECT_GT(EmHeightOf(family, style), 0);
    EXPECT_GT(CellAscentOf(family, style) + CellDescentOf(family, style), 0);
  }
  {
    // No handle, or one whose logical font cannot be read: the context's current font.
    GdiFont current = FontFromDC(dc, nullptr);
    EXPECT_TRUE(current.Valid());
    const HFONT deleted = dialogFont.Get();
    dialogFont.Reset();
    GdiFont stale = FontFromDC(dc, deleted);
    EXPECT_TRUE(stale.Valid());
  }
}

TEST(DrawingPrimitives, WindowsColoursBecomeOpaqueArgb) {
  EXPECT_EQ(ArgbFromColorRef(RGB(0x12, 0x34, 0x56)), 0xFF123456u);
  EXPECT_EQ(ArgbFromColorRef(RGB(0, 0, 0)), 0xFF000000u);
}

}  // namespace
}  // namespace tev::win32
