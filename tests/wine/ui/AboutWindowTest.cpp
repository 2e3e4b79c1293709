// Help > About in-process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "resources/ResourceIds.h"
#include "tests/support/LogCapture.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/ui/ModalDialog.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/framework/DialogClass.h"

namespace tev {
namespace {

using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;

class AboutDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }
  LogCapture log;
};

TEST_F(AboutDialog, ShowsTheBannerAndTheVersionsItIsMadeFor) {
  auto dialog = std::make_unique<CAboutWindow>();
  ASSERT_TRUE(RunModal(*dialog, L"About", [&](HWND window) {
    const std::wstring expected = std::wstring(kWebSiteLine) +
                                  L"Software is version 1.40 and is designed for:\r\n\r\n"
                                  L"Firmware version 1.4x\r\n"
                                  L"Bootloader version 1.0x\r\n"
                                  L"Hardware version 1.2x\r\n";
    EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS) == expected; }))
        << "status box holds: " << ::testing::PrintToString(ControlText(window, IDC_STATUS));
    EXPECT_EQ(std::wstring(kWebSiteLine).rfind(L"\r\n\r\n"), std::wstring(kWebSiteLine).size() - 4);

    HWND banner = ::GetDlgItem(window, IDC_ABOUT_BANNER);
    const auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    ASSERT_NE(::GetObjectW(bitmap, sizeof info, &info), 0) << "no banner picture";
    EXPECT_EQ(info.bmWidth, 386);
    EXPECT_EQ(info.bmHeight, 109);
    RECT client = {};
    ::GetClientRect(banner, &client);
    EXPECT_EQ(client.right, 386) << "the picture control does not take the banner's size";
    EXPECT_EQ(client.bottom, 109);

    const testing::Pixels shot = testing::CaptureWindow(window);
    win32::testing::SaveScreenshot(L"about-dialog", shot.data, shot.width, shot.height);

    // Only Close closes: the commands the dialog manager makes of Enter and Escape do not.
    for (WPARAM command : {WPARAM{IDOK}, WPARAM{IDCANCEL}, WPARAM{1003}, WPARAM{40010}}) {
      ::SendMessageW(window, WM_COMMAND, command, 0);
      EXPECT_TRUE(::IsWindow(window)) << "command " << command << " closed it";
    }
    ::SendMessageW(window, WM_COMMAND, IDC_ABOUT_CLOSE, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsWindow(window); })) << "Close did not close it";
  }));
  dialog.reset();
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"DESTRUCT"});
}

// Each About opened loads the banner afresh: a closed About must not leave its bitmap behind
// (one banner, about 160 KB, for every opening over the program's life).
TEST_F(AboutDialog, ClosingFreesTheBannerPicture) {
  for (int opening = 1; opening <= 2; ++opening) {
    CAboutWindow dialog;
    HGDIOBJ bitmap = nullptr;
    ASSERT_TRUE(RunModal(dialog, L"About", [&](HWND window) {
      bitmap = reinterpret_cast<HGDIOBJ>(
          ::SendDlgItemMessageW(window, IDC_ABOUT_BANNER, STM_GETIMAGE, IMAGE_BITMAP, 0));
      ::SendMessageW(window, WM_COMMAND, IDC_ABOUT_CLOSE, 0);
      EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsWindow(window); }));
    }));
    ASSERT_NE(bitmap, nullptr) << "opening " << opening << ": no banner picture";
    EXPECT_EQ(::GetObjectType(bitmap), 0u) << "opening " << opening << ": the banner outlived its dialog";
  }
}

// Sent, not posted: a posted key goes through the dialog manager, which makes Escape the cancel
// command, and that one the dialog ignores.
TEST_F(AboutDialog, EscapeSentToTheDialogClosesIt) {
  CAboutWindow dialog;
  ASSERT_TRUE(RunModal(dialog, L"About", [&](HWND window) {
    ::SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsWindow(window); }));
  }));
}

}  // namespace
}  // namespace tev
