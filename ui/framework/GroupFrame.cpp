#include "ui/framework/GroupFrame.h"

#include <algorithm>

#include "plot/win32/DrawingPrimitives.h"
#include "ui/logic/GroupFrameGeometry.h"

namespace tev {

using namespace win32;

namespace {

constexpr std::uint32_t kFramePen = 0xFFD2B48C;
constexpr std::uint32_t kCaptionBrush = 0xFFA0522D;

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

// The line, one pixel line after the other inwards, each taken out of the clip so that the final
// clear leaves it alone.
void DrawFrameLine(GdiGraphics& graphics, const GdiPen& pen, const FrameLine& line, int thickness) {
  for (int i = 0; i < thickness; ++i) {
    const int x1 = line.x1 + i * line.stepX, y1 = line.y1 + i * line.stepY;
    const int x2 = line.x2 + i * line.stepX, y2 = line.y2 + i * line.stepY;
    DrawLine(graphics, pen, x1, y1, x2, y2);
    ExcludeClipRect(graphics, std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
  }
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
  // The caption in the dialog's font, and in the one a move to another DPI gives the controls.
  ::SendMessageW(frame, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
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

bool DrawGroupFrame(const DRAWITEMSTRUCT& item, HWND dialog, COLORREF background, const GroupFrames& frames,
                    UINT dpi) {
  const auto found = std::find_if(frames.begin(), frames.end(), [&](const auto& f) { return f->window == item.hwndItem; });
  if (found == frames.end()) return false;
  const std::wstring& caption = (*found)->caption;
  const int W = item.rcItem.right;
  const int H = item.rcItem.bottom;

  GdiGraphics graphics = GraphicsFromDc(item.hDC);
  const GdiPen linePen = NewPen(kFramePen, 1.0f);
  const GdiSolidBrush captionBrush = NewSolidBrush(kCaptionBrush);
  const std::uint32_t back = ArgbFromColorRef(background);

  const GdiFont font = FontFromDC(item.hDC, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  const int style = FontStyleOf(font);
  const GdiFontFamily family = FontFamilyOf(font);
  const float size = FontSizeOf(font);
  const int em = EmHeightOf(family, style);
  const float h = em ? size * CellAscentOf(family, style) / em + size * CellDescentOf(family, style) / em : size;
  const float tw =
      MeasureText(graphics, caption.c_str(), font, Gdiplus::RectF(0, 0, static_cast<float>(W), static_cast<float>(H)))
          .Width;

  ExcludeSiblings(graphics, item.hwndItem, dialog, frames);
  const GroupFrameGeometry frame = LayOutGroupFrame(W, H, tw, h, dpi);

  // The caption on a bitmap of the background, so that the line stops where the caption starts.
  if (frame.captionWidth > 0) {
    const GdiImage bitmap = NewBitmapFor(graphics, frame.captionWidth, frame.captionHeight);
    GdiGraphics onBitmap = GraphicsFromImage(bitmap);
    if (onBitmap.Valid()) {
      ClearGraphics(onBitmap, back);
      DrawTextAt(onBitmap, caption.c_str(), -1, font, 0, 0, captionBrush);
    }
    DrawImageAt(graphics, bitmap, frame.captionLeft, 0);
    ExcludeClipRect(graphics, frame.captionLeft, 0, frame.captionWidth, frame.captionHeight);
  }

  for (const FrameLine& line : frame.lines) DrawFrameLine(graphics, linePen, line, frame.thickness);

  ClearGraphics(graphics, back);  // the inside and the margins, all that is not yet drawn

  const GdiPen arcPen = NewPen(kFramePen, static_cast<float>(frame.thickness));
  for (const FrameArc& arc : frame.arcs) DrawCornerArc(graphics, arcPen, arc.x, arc.y, arc.startDegrees, 90, arc.size);
  return true;
}

}  // namespace tev
