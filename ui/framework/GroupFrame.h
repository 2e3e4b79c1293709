#pragma once
// Group boxes replaced by owner-drawn frames: a thin tan line with rounded corners and the caption
// in sienna, on the dialog's own background.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tev {

struct GroupFrame {
  HWND window = nullptr;  // the owner-drawn static that took the group box's place
  std::wstring caption;
};

using GroupFrames = std::vector<std::unique_ptr<GroupFrame>>;

// Replaces the dialog's group box `controlId` by an owner-drawn static of the same place, text and
// size, records it in `frames` and returns it (null when the dialog has no such control).
HWND ReplaceGroupBox(HWND dialog, int controlId, GroupFrames& frames);

// The frame drawn for WM_DRAWITEM of a recorded frame, its insets, corners and line scaled to the
// dialog's `dpi` (the caption's font is the dialog's, which has that DPI already); false when the
// item is not one of them.
bool DrawGroupFrame(const DRAWITEMSTRUCT& item, HWND dialog, COLORREF background, const GroupFrames& frames,
                    UINT dpi);

}  // namespace tev
