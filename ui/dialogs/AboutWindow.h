#pragma once
// Help > About: the banner, where to find updates, and the versions this software is made for.
#include "ui/framework/DialogWindow.h"

namespace tev {

// Where a user finds updates; the first line of the About text.
inline constexpr wchar_t kWebSiteLine[] = L"Visit https://example.org for updates and further information.\r\n\r\n";

// Names: template IDD_ABOUT, title "About"; tests AboutDialog.
class CAboutWindow : public CBaseWindow {
 public:
  CAboutWindow();

 private:
  MessageResult HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  MessageResult OnInitDialog(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);
  MessageResult OnKeyDown(WPARAM, LPARAM);
  MessageResult OnClose(WPARAM, LPARAM);
  MessageResult OnDestroy(WPARAM, LPARAM);
  void RemeasureForDpi() override;
  // The banner at the dialog's DPI in place of the one the control holds.
  void ShowBanner();

  static const MessageEntry<CAboutWindow> kMessages[];
};

}  // namespace tev
