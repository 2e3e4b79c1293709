#include "ui/framework/DialogLayout.h"

namespace tev {

DialogLayout::DialogLayout(HWND window) : dialog(window) {
  RECT outer = {};
  ::GetWindowRect(dialog, &outer);
  minimumWidth = outer.right - outer.left;
  minimumHeight = outer.bottom - outer.top;
}

void DialogLayout::Add(HWND control, bool topFixed, bool leftFixed, bool bottomFollows, bool rightFollows) {
  if (!control) return;
  auto anchor = std::make_unique<LayoutAnchor>();
  anchor->control = control;
  anchor->parent = ::GetParent(control);
  RECT rect = {};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, anchor->parent, reinterpret_cast<POINT*>(&rect), 2);
  RECT client = {};
  ::GetClientRect(anchor->parent, &client);
  anchor->geometry = {rect.left,  rect.top,     rect.right - rect.left, rect.bottom - rect.top, topFixed,
                      leftFixed,  bottomFollows, rightFollows,          client.right,           client.bottom};
  anchors.push_back(std::move(anchor));
}

void DialogLayout::OnMessage(UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_SIZE) {
    Relayout(LOWORD(lParam), HIWORD(lParam));
  } else if (message == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (minimumWidth) info->ptMinTrackSize.x = minimumWidth;
    if (minimumHeight) info->ptMinTrackSize.y = minimumHeight;
    if (maximumWidth) info->ptMaxTrackSize.x = maximumWidth;
    if (maximumHeight) info->ptMaxTrackSize.y = maximumHeight;
  }
}

void DialogLayout::Rescale(UINT fromDpi, UINT toDpi) {
  const auto scale = [&](int& length) { length = ::MulDiv(length, static_cast<int>(toDpi), static_cast<int>(fromDpi)); };
  scale(minimumWidth);
  scale(minimumHeight);
  scale(maximumWidth);
  scale(maximumHeight);
  for (const auto& anchor : anchors) {
    AnchorGeometry& g = anchor->geometry;
    // Edges, not sizes, as the controls themselves are scaled: the records stay on them exactly.
    int right = g.x + g.width, bottom = g.y + g.height;
    for (int* length : {&g.x, &g.y, &right, &bottom, &g.parentWidth, &g.parentHeight}) scale(*length);
    g.width = right - g.x;
    g.height = bottom - g.y;
  }
}

void DialogLayout::Relayout(int width, int height) {
  HDWP batch = ::BeginDeferWindowPos(static_cast<int>(anchors.size()));
  for (const auto& anchor : anchors) {
    const AnchorMove move = RelayoutAnchor(anchor->geometry, width, height);
    UINT flags = SWP_NOZORDER;
    if (!move.move) flags |= SWP_NOMOVE;
    if (!move.resize) flags |= SWP_NOSIZE;
    const AnchorGeometry& g = anchor->geometry;
    if (batch) batch = ::DeferWindowPos(batch, anchor->control, nullptr, g.x, g.y, g.width, g.height, flags);
    // A batch the system could not make still places every control, one by one.
    if (!batch) ::SetWindowPos(anchor->control, nullptr, g.x, g.y, g.width, g.height, flags);
  }
  if (batch) ::EndDeferWindowPos(batch);
}

}  // namespace tev
