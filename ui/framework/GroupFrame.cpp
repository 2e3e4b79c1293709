#include "ui/framework/GroupFrame.h"

#include <algorithm>

#include "plot/win32/DrawingPrimitives.h"

namespace tev {

using namespace win32;

namespace {

constexpr std::uint32_t kFramePen = 0xFFD2B48C;
constexpr std::uint32_t kCaptionBrush = 0xFFA0522D;
constexpr int kCaptionLeft = 9;

bool IsFrame(HWND window, const GroupFrames& frames) {
  return std::any_of(frames.begin(), frames.end(), [&](const auto& f) { return f->window == window; });
}

// Takes every sibling control out of the frame's clip, so that a frame never paints over them.
void ExcludeSiblings(GdiGraphics& graphics, HWND item, HWND dialog, const GroupFrames& frames) {
  RECT itemRect = {};
  ::GetWindowRect(item, &itemRect);
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (child == item || ::GetParent(child) != ::GetParent(item) || IsFrame(child, frames)) continue;
    RECT r = {};
    ::GetWindowRect(child, &r);
    ExcludeClipRect(graphics, r.left - itemRect.left, r.top - itemRect.top, r.right - r.left, r.bottom - r.top);
  }
}

// The line, then taken out of the clip so that the final clear leaves it alone.
void FrameLine(GdiGraphics& graphics, const GdiPen& pen, int x1, int y1, int x2, int y2) {
  DrawLine(graphics, pen, x1, y1, x2, y2);
  ExcludeClipRect(graphics, std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
}

}  // namespace

HWND ReplaceGroupBox(HWND dialog, int controlId, GroupFrames& frames) {
  HWND box = ::GetDlgItem(dialog, controlId);
  if (!box) return nullptr;
  RECT rect = {};
  ::GetWindowRect(box, &rect);
  POINT topLeft{rect.left, rect.top};
  ::ScreenToClient(dialog, &topLeft);
  wchar_t text[255] = {};
  ::GetDlgItemTextW(dialog, controlId, text, 254);

  HWND frame = ::CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, topLeft.x, topLeft.y,
                                 rect.right - rect.left, rect.bottom - rect.top, dialog, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (!frame) return nullptr;  // the group box stays: a plain frame beats none
  // Behind every other control, where the group box was drawn.
  ::SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::DestroyWindow(box);
  // Redrawn whole when resized, or the stretched frame would keep stale corners.
  ::SetClassLongPtrW(frame, GCL_STYLE, ::GetClassLongPtrW(frame, GCL_STYLE) | CS_HREDRAW | CS_VREDRAW);

  auto record = std::make_unique<GroupFrame>();
  record->window = frame;
  wchar_t caption[255] = {};
  ::GetWindowTextW(frame, caption, 255);
  record->caption = caption;
  frames.push_back(std::move(record));
  return frame;
}

bool DrawGroupFrame(const DRAWITEMSTRUCT& item, HWND dialog, COLORREF background, const GroupFrames& frames) {
  const auto found = std::find_if(frames.begin(), frames.end(), [&](const auto& f) { return f->window == item.hwndItem; });
  if (found == frames.end()) return false;
  const std::wstring& caption = (*found)->caption;
  const int W = item.rcItem.right;
  const int H = item.rcItem.bottom;

  GdiGraphics graphics = GraphicsFromDc(item.hDC);
  const GdiPen pen = NewPen(kFramePen, 1.0f);
  const GdiSolidBrush captionBrush = NewSolidBrush(kCaptionBrush);
  const std::uint32_t back = ArgbFromColorRef(background);

  const GdiFont font = FontFromDC(item.hDC, reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
  const int style = FontStyleOf(font);
  const GdiFontFamily family = FontFamilyOf(font);
  const float size = FontSizeOf(font);
  const int em = EmHeightOf(family, style);
  const float h = em ? size * CellAscentOf(family, style) / em + size * CellDescentOf(family, style) / em : size;
  const float tw =
      MeasureText(graphics, caption.c_str(), font, Gdiplus::RectF(0, 0, static_cast<float>(W), static_cast<float>(H)))
          .Width;

  ExcludeSiblings(graphics, item.hwndItem, dialog, frames);

  // The caption on a bitmap of the background, so that the line stops where the caption starts.
  const int captionWidth = static_cast<int>(tw);
  const int captionHeight = static_cast<int>(h) + 10;
  if (captionWidth > 0) {
    const GdiImage bitmap = NewBitmapFor(graphics, captionWidth, captionHeight);
    GdiGraphics onBitmap = GraphicsFromImage(bitmap);
    if (onBitmap.Valid()) {
      ClearGraphics(onBitmap, back);
      DrawTextAt(onBitmap, caption.c_str(), -1, font, 0, 0, captionBrush);
    }
    DrawImageAt(graphics, bitmap, kCaptionLeft, 0);
    ExcludeClipRect(graphics, kCaptionLeft, 0, captionWidth, captionHeight);
  }

  const int t = 1 + static_cast<int>(h / 2);  // the caption's middle
  FrameLine(graphics, pen, 5, t, 7, t);
  FrameLine(graphics, pen, static_cast<int>(tw + 11), t, W - 6, t);
  FrameLine(graphics, pen, 4, H - 2, W - 5, H - 2);
  FrameLine(graphics, pen, 1, t + 3, 1, H - 6);
  FrameLine(graphics, pen, W - 2, t + 3, W - 2, H - 6);

  ClearGraphics(graphics, back);  // the inside and the margins, all that is not yet drawn

  DrawCornerArc(graphics, pen, 1, t, 180, 90);
  DrawCornerArc(graphics, pen, W - 10, t, 270, 90);
  DrawCornerArc(graphics, pen, 1, H - 10, 90, 90);
  DrawCornerArc(graphics, pen, W - 10, H - 10, 0, 90);
  return true;
}

}  // namespace tev
