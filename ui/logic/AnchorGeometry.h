#pragma once
// Where a dialog's control goes when the dialog is resized: its edges either keep their distance
// from the dialog's top/left or follow its bottom/right.

namespace tev {

struct AnchorGeometry {
  int x = 0, y = 0, width = 0, height = 0;  // in the dialog's client coordinates, as last placed
  bool topFixed = true;
  bool leftFixed = true;
  bool bottomFollows = false;
  bool rightFollows = false;
  int parentWidth = 0, parentHeight = 0;  // the dialog's client size when last laid out
};

struct AnchorMove {
  bool move = false;    // the position changed (or may have)
  bool resize = false;  // the size changed (or may have)
};

// Places the control for the dialog's new client size and says what changed.
AnchorMove RelayoutAnchor(AnchorGeometry& anchor, int parentWidth, int parentHeight);

}  // namespace tev
