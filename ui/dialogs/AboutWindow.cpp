#include "ui/dialogs/AboutWindow.h"

#include "model/Versions.h"
#include "ui/dialogs/AboutBanner.h"
#include "resources/ResourceIds.h"
#include "win32/Guards.h"

namespace tev {

const MessageEntry<CAboutWindow> CAboutWindow::kMessages[] = {
    {WM_INITDIALOG, &CAboutWindow::OnInitDialog},
    {WM_COMMAND, &CAboutWindow::OnCommand},
    {WM_KEYDOWN, &CAboutWindow::OnKeyDown},
    {WM_CLOSE, &CAboutWindow::OnClose},
    {WM_DESTROY, &CAboutWindow::OnDestroy},
};

CAboutWindow::CAboutWindow() : CBaseWindow(IDD_ABOUT) {}

MessageResult CAboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchMessageTable<CAboutWindow>(*this, kMessages, message, wParam, lParam);
}

MessageResult CAboutWindow::OnInitDialog(WPARAM, LPARAM) {
  ShowBanner();  // first: the banner's control takes the picture's size, which its anchor keeps
  CreateLayout();
  Anchor(IDC_ABOUT_BANNER, true, true, true, true);
  Anchor(IDC_STATUS, true, true, true, true);
  Anchor(IDC_ABOUT_CLOSE, false, false, true, true);
  AnchorGroupFrame(IDC_ABOUT_GROUP, true, true, true, true);

  AppendStatus(kWebSiteLine);
  AppendStatus(L"Software is version " + FormatVersion(kSoftwareVersion) + L" and is designed for:\r\n\r\n");
  AppendStatus(L"Firmware version " + FormatVersionFamily(kFirmwareVersion) + L"\r\n");
  AppendStatus(L"Bootloader version " + FormatVersionFamily(kBootloaderVersion) + L"\r\n");
  AppendStatus(L"Hardware version " + FormatVersionFamily(kHardwareVersion) + L"\r\n");
  return TRUE;
}

MessageResult CAboutWindow::OnCommand(WPARAM wParam, LPARAM) {
  // Only Close: the cancel command that the dialog manager makes of Escape is not one.
  if (wParam == IDC_ABOUT_CLOSE) ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

MessageResult CAboutWindow::OnKeyDown(WPARAM wParam, LPARAM) {
  if (wParam == VK_ESCAPE) ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

MessageResult CAboutWindow::OnClose(WPARAM, LPARAM) {
  ::EndDialog(hwnd, 0);
  return TRUE;
}

void CAboutWindow::ShowBanner() {
  const HBITMAP banner = LoadAboutBanner(Dpi());
  if (!banner) return;  // the one the template loaded stays
  // The control hands back the picture it held: ours to delete (never the one it now holds).
  win32::UniqueBitmap previous(reinterpret_cast<HBITMAP>(::SendDlgItemMessageW(
      hwnd, IDC_ABOUT_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner))));
  if (previous.Get() == banner) previous.Release();
}

void CAboutWindow::RemeasureForDpi() { ShowBanner(); }

// The banner's static control loads its bitmap from the template and leaves it behind when it
// goes: taken back from the control and deleted here, or every About opened costs a banner-sized
// bitmap for the program's life.
MessageResult CAboutWindow::OnDestroy(WPARAM, LPARAM) {
  const win32::UniqueBitmap banner(
      reinterpret_cast<HBITMAP>(::SendDlgItemMessageW(hwnd, IDC_ABOUT_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0)));
  return std::nullopt;  // the rest of the dialog's ending goes on as usual
}

}  // namespace tev
