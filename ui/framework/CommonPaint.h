#pragma once
// The look every dialog shares: its background colour, transparent control backgrounds and the
// owner-drawn group frames.
#include <windows.h>

#include "ui/framework/GroupFrame.h"

namespace tev {

// What a dialog's look needs to know of it.
struct DialogLook {
  HWND dialog;
  HBRUSH background;
  const GroupFrames& frames;
  UINT dpi;
};

// The shared handling of background, frames and control colours; 0 for any other message.
INT_PTR HandleCommonPaint(UINT message, WPARAM wParam, LPARAM lParam, const DialogLook& look);

}  // namespace tev
