#pragma once
// A dialog's resize layout: each anchored control keeps or follows the dialog's edges, and the
// dialog cannot be made smaller than it opened.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/logic/AnchorGeometry.h"

namespace tev {

struct LayoutAnchor {
  HWND control = nullptr;
  HWND parent = nullptr;
  AnchorGeometry geometry;
};

class DialogLayout {
 public:
  // The dialog's current outer size becomes its minimum.
  explicit DialogLayout(HWND dialog);

  void Add(HWND control, bool topFixed, bool leftFixed, bool bottomFollows, bool rightFollows);
  // WM_SIZE and WM_GETMINMAXINFO; other messages are none of its business.
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // A move from one DPI to another: the minimum size, every anchored control's place and the
  // parent sizes they were laid out for, in proportion (the controls are moved by the caller).
  void Rescale(UINT fromDpi, UINT toDpi);

  HWND dialog;
  int minimumWidth = 0, minimumHeight = 0;
  int maximumWidth = 0, maximumHeight = 0;  // 0: no limit
  std::vector<std::unique_ptr<LayoutAnchor>> anchors;

 private:
  void Relayout(int width, int height);
};

}  // namespace tev
