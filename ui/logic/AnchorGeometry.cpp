#include "ui/logic/AnchorGeometry.h"

namespace tev {

AnchorMove RelayoutAnchor(AnchorGeometry& a, int parentWidth, int parentHeight) {
  const int dW = parentWidth - a.parentWidth;
  const int dH = parentHeight - a.parentHeight;
  a.parentWidth = parentWidth;
  a.parentHeight = parentHeight;
  int right = a.x + a.width;
  int bottom = a.y + a.height;
  if (!a.topFixed) a.y += dH;
  if (!a.leftFixed) a.x += dW;
  if (a.bottomFollows) bottom += dH;
  if (a.rightFollows) right += dW;
  a.width = right - a.x;
  a.height = bottom - a.y;
  return {!(a.topFixed && a.leftFixed), a.bottomFollows || a.rightFollows};
}

}  // namespace tev
