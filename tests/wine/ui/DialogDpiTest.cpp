// The five dialogs at the screen's DPI (the test runs at 96, 144 and 192): photographed for people,
// every label's text measured against its control, what the program draws at a size of its own
// checked for that size, and a move to a screen of another DPI.
//
// At 96 DPI the verdicts of the text check are written down; at the larger DPIs a text that fit
// at 96 must still fit. One that does not fit even at 96 is reported, not failed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/device/SimDevices.h"
#include "tests/support/LogCapture.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/TextFit.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/dialogs/ChipLoadWindow.h"
#include "ui/dialogs/ControlOptionsWindow.h"
#include "ui/dialogs/UpdateWindow.h"
#include "ui/framework/DialogClass.h"
#include "win32/Dpi.h"
#include "win32/Guards.h"

namespace tev {
namespace {

using testing::CaptureWindow;
using testing::ControlRect;
using testing::RunModal;
using testing::WaitUntil;
using win32::ScaleToDpi;

struct DialogCase {
  const char* name;  // of its screenshot
  const wchar_t* title;
  int iconId;  // 0: none
  std::function<std::unique_ptr<CBaseWindow>(AltimeterDevice&)> make;
};

const std::vector<DialogCase>& Dialogs() {
  static const std::vector<DialogCase> dialogs = {
      {"capture-data", L"Capture Data", IDC_CAPTURE_ICON,
       [](AltimeterDevice& d) { return std::make_unique<CCaptureWindow>(d); }},
      {"device-settings", L"Program Chip", IDC_SETTINGS_ICON,
       [](AltimeterDevice& d) { return std::make_unique<CChipLoadWindow>(d); }},
      {"control-device", L"Control Options", IDC_CONTROL_ICON,
       [](AltimeterDevice& d) { return std::make_unique<CControlOptionsWindow>(d); }},
      {"update-firmware", L"Update Firmware", IDC_FIRMWARE_ICON,
       [](AltimeterDevice& d) { return std::make_unique<CUpdateWindow>(d); }},
      {"about", L"About", 0, [](AltimeterDevice&) { return std::make_unique<CAboutWindow>(); }},
  };
  return dialogs;
}

UINT ScreenDpiNow() { return win32::ScreenDpi(); }

std::wstring DpiFolder(UINT dpi) { return L"dpi-" + std::to_wstring(dpi); }

void SaveShot(HWND window, UINT dpi, const std::string& name) {
  const testing::Pixels shot = CaptureWindow(window);
  ::CreateDirectoryW((std::wstring(TEV_SCREENSHOT_DIR) + L"/" + DpiFolder(dpi)).c_str(), nullptr);
  EXPECT_TRUE(win32::testing::SaveScreenshot(DpiFolder(dpi) + L"/" + std::wstring(name.begin(), name.end()),
                                             shot.data, shot.width, shot.height));
}

SIZE IconSize(HWND control) {
  const auto icon = reinterpret_cast<HICON>(::SendMessageW(control, STM_GETIMAGE, IMAGE_ICON, 0));
  ICONINFO info = {};
  if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
  const win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);  // the copies GetIconInfo made
  BITMAP bitmap = {};
  ::GetObjectW(colour ? colour.Get() : mask.Get(), sizeof bitmap, &bitmap);
  return {bitmap.bmWidth, colour ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

SIZE BitmapSize(HWND control) {
  const auto picture = reinterpret_cast<HBITMAP>(::SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP bitmap = {};
  if (!picture || !::GetObjectW(picture, sizeof bitmap, &bitmap)) return {0, 0};
  return {bitmap.bmWidth, bitmap.bmHeight};
}

// Colours of the drawn frames.
constexpr std::uint32_t kTan = 0xD2B48C;
constexpr std::uint32_t kBackground = 0xC4DFFF;

// What the screen shows of a group frame: where its caption's ink starts and how thick its left
// line is, halfway down.
struct FrameLook {
  bool found = false;
  int firstInkColumn = -1;
  int leftLineThickness = 0;
};

FrameLook LookAtFrame(HWND dialog, const std::wstring& caption, UINT dpi) {
  FrameLook look;
  HWND frame = nullptr;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    wchar_t text[64] = {};
    ::GetWindowTextW(c, text, 64);
    if (::GetDlgCtrlID(c) == 0 && caption == text) frame = c;
  }
  if (!frame) return look;
  look.found = true;
  const testing::Pixels shot = CaptureWindow(dialog);
  RECT r = {}, outer = {};
  ::GetWindowRect(frame, &r);
  ::GetWindowRect(dialog, &outer);
  const int left = r.left - outer.left, top = r.top - outer.top;
  const int height = r.bottom - r.top;
  // The caption: anti-aliased ink, any colour but the background's and the line's, above the
  // frame's contents (the connection icon starts lower).
  for (int y = 0; y < win32::ScaleToDpi(18, dpi); ++y) {
    for (int x = win32::ScaleToDpi(8, dpi); x < (r.right - r.left) / 3; ++x) {  // right of the top line's stub
      const std::uint32_t c = shot.At(left + x, top + y);
      if (c == kBackground || c == kTan) continue;
      if (look.firstInkColumn < 0 || x < look.firstInkColumn) look.firstInkColumn = x;
    }
  }
  int x = 0;
  while (x < 10 && shot.At(left + x, top + height / 2) != kTan) ++x;
  while (shot.At(left + x, top + height / 2) == kTan) ++look.leftLineThickness, ++x;
  return look;
}

// The About banner as the resources hold it, 0x00RRGGBB, top row first.
testing::Pixels BannerAt96() {
  testing::Pixels p;
  const win32::UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info = {};
  if (!bitmap || !::GetObjectW(bitmap.Get(), sizeof info, &info)) return p;
  p.width = info.bmWidth;
  p.height = info.bmHeight;
  p.data.assign(static_cast<std::size_t>(p.width) * p.height, 0);
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = p.width;
  format.bmiHeader.biHeight = -p.height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  const win32::WindowDc screen(nullptr);
  ::GetDIBits(screen.Dc(), bitmap.Get(), 0, static_cast<UINT>(p.height), p.data.data(), &format, DIB_RGB_COLORS);
  for (std::uint32_t& c : p.data) c &= 0x00FFFFFF;
  return p;
}

class DialogsAtThisDpi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }

  // Opens the dialog with an altimeter plugged in, waits for its first status text and runs
  // `script` on it.
  void Open(const DialogCase& c, const std::function<void(HWND)>& script) {
    auto dialog = c.make(device);
    ASSERT_TRUE(RunModal(*dialog, c.title, [&](HWND window) {
      EXPECT_TRUE(WaitUntil(5000, [&] { return !dialog->StatusTextNow().empty(); })) << c.name << ": no status";
      script(window);
    })) << c.name;
  }

  const UINT dpi = ScreenDpiNow();
  VirtualBus bus;
  AltimeterDevice device{bus};
  LogCapture log;

  void SetUp() override { bus.Plug(MakeSim()); }
};

TEST_F(DialogsAtThisDpi, EachIsPhotographedAndEveryTextThatFitsAt96DpiStillFits) {
  std::vector<testing::TextFit> fits;
  for (const DialogCase& c : Dialogs()) {
    Open(c, [&](HWND window) {
      SaveShot(window, dpi, c.name);
      for (testing::TextFit fit : testing::MeasureTexts(window)) {
        fit.dialog = c.name;
        fits.push_back(std::move(fit));
      }
    });
  }
  ASSERT_FALSE(fits.empty());

  const std::wstring record = std::wstring(TEV_FIT_RECORD_DIR) + L"/text-fit-96.txt";
  if (dpi == win32::kBaseDpi) {
    ::CreateDirectoryW(TEV_FIT_RECORD_DIR, nullptr);
    std::ofstream out(record.c_str(), std::ios::binary);
    for (const testing::TextFit& f : fits) {
      out << testing::FitKey(f) << '\t' << (f.Fits() ? "fits" : "does-not-fit") << '\n';
      if (!f.Fits()) std::cout << "reported: " << testing::Describe(f) << " does not fit at 96 DPI\n";
    }
    ASSERT_TRUE(out.good()) << "the 96-DPI verdicts could not be written";
    return;
  }

  std::ifstream in(record.c_str(), std::ios::binary);
  ASSERT_TRUE(in) << "no 96-DPI verdicts: run the 96-DPI test first";
  std::map<std::string, bool> at96;
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.rfind('\t');
    if (tab != std::string::npos) at96[line.substr(0, tab)] = line.substr(tab + 1) == "fits";
  }
  for (const testing::TextFit& f : fits) {
    const auto before = at96.find(testing::FitKey(f));
    EXPECT_NE(before, at96.end()) << testing::Describe(f) << ": not seen at 96 DPI";
    if (before == at96.end()) continue;
    if (!before->second) {
      std::cout << "reported: " << testing::Describe(f) << " does not fit even at 96 DPI\n";
      continue;
    }
    EXPECT_TRUE(f.Fits()) << testing::Describe(f) << " fits at 96 DPI but not at " << dpi;
  }
}

// The icons and the banner are pictures of a size of their own: they grow with the DPI, and the
// group frames' insets with them.
TEST_F(DialogsAtThisDpi, IconsBannerAndFramesAreDrawnAtTheScaledSize) {
  for (const DialogCase& c : Dialogs()) {
    Open(c, [&](HWND window) {
      if (c.iconId) {
        const int expected = ScaleToDpi(48, dpi);
        HWND icon = ::GetDlgItem(window, c.iconId);
        EXPECT_TRUE(WaitUntil(5000, [&] { return IconSize(icon).cx == expected; }))
            << c.name << ": icon " << IconSize(icon).cx << " wide, not " << expected;
        EXPECT_EQ(IconSize(icon).cy, expected) << c.name;
      }
    });
  }

  Open(Dialogs().back(), [&](HWND window) {
    HWND banner = ::GetDlgItem(window, IDC_ABOUT_BANNER);
    const SIZE size = BitmapSize(banner);
    EXPECT_EQ(size.cx, ScaleToDpi(386, dpi)) << "banner width";
    EXPECT_EQ(size.cy, ScaleToDpi(109, dpi)) << "banner height";
    RECT client = {};
    ::GetClientRect(banner, &client);
    EXPECT_EQ(client.right, size.cx) << "the picture control does not take the banner's size";
    EXPECT_EQ(client.bottom, size.cy);

    // The same picture, only larger: the scaled banner's pixels match the original's at the
    // corresponding places (away from the edges the filter blends).
    const testing::Pixels shot = CaptureWindow(window);
    const testing::Pixels original = BannerAt96();
    RECT where = {};
    ::GetWindowRect(banner, &where);
    RECT outer = {};
    ::GetWindowRect(window, &outer);
    int unlike = 0, samples = 0;
    for (int y = 8; y < original.height - 8; y += 9) {
      for (int x = 8; x < original.width - 8; x += 13) {
        const std::uint32_t a = original.At(x, y);
        // The scaled pixel under the original pixel's centre.
        const std::uint32_t b = shot.At(where.left - outer.left + static_cast<int>((x + 0.5) * dpi / 96),
                                        where.top - outer.top + static_cast<int>((y + 0.5) * dpi / 96));
        int distance = 0;
        for (int shift : {0, 8, 16}) distance += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        ++samples;
        if (distance > 90) ++unlike;
      }
    }
    EXPECT_LT(unlike * 10, samples) << unlike << " of " << samples << " banner pixels unlike the original";
  });

  // The "Status" frame of Capture Data: caption offset and line thickness grow with the DPI.
  Open(Dialogs().front(), [&](HWND window) {
    const FrameLook look = LookAtFrame(window, L"Status", dpi);
    ASSERT_TRUE(look.found) << "no Status frame";
    EXPECT_GE(look.firstInkColumn, ScaleToDpi(9, dpi)) << "caption starts left of its place";
    EXPECT_LE(look.firstInkColumn, ScaleToDpi(13, dpi)) << "caption starts far right of its place";
    EXPECT_EQ(look.leftLineThickness, ScaleToDpi(1, dpi)) << "left line thickness";
  });
}

// A move to a screen of another DPI: the dialog takes the rectangle it is given, cannot be made
// smaller than its first size at the new DPI, and remakes its icon and banner at the new size.
TEST_F(DialogsAtThisDpi, AMoveToAnotherDpiTakesTheSuggestedRectangleAndRedrawsAtTheNewScale) {
  const UINT next = dpi == 192 ? 96 : 192;
  const auto move = [&](HWND window, RECT& suggested) {
    RECT now = {};
    ::GetWindowRect(window, &now);
    // At the screen's top left, where the larger dialog still fits on the screen.
    suggested = {0, 0, ::MulDiv(now.right - now.left, next, dpi), ::MulDiv(now.bottom - now.top, next, dpi)};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(window, &now);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    EXPECT_EQ(now.right, suggested.right) << "the suggested width was not taken";
    EXPECT_EQ(now.bottom, suggested.bottom) << "the suggested height was not taken";
  };

  Open(Dialogs().front(), [&](HWND window) {
    const RECT stripBefore = ControlRect(window, IDC_CAPTURE_STRIP);
    RECT suggested = {};
    move(window, suggested);
    const RECT strip = ControlRect(window, IDC_CAPTURE_STRIP);
    EXPECT_NEAR(strip.left, ::MulDiv(stripBefore.left, next, dpi), 1) << "the strip kept its place";
    HWND icon = ::GetDlgItem(window, IDC_CAPTURE_ICON);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IconSize(icon).cx == ScaleToDpi(48, next); }))
        << "icon " << IconSize(icon).cx << " wide after the move";
    const FrameLook look = LookAtFrame(window, L"Status", next);
    ASSERT_TRUE(look.found);
    EXPECT_EQ(look.leftLineThickness, ScaleToDpi(1, next)) << "the frame was not redrawn at the new scale";
    SaveShot(window, dpi, std::string("capture-data-moved-to-") + std::to_string(next));

    // Its smallest size is its first one at the new DPI.
    ::SetWindowPos(window, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT shrunk = {};
    ::GetWindowRect(window, &shrunk);
    EXPECT_NEAR(shrunk.right - shrunk.left, suggested.right - suggested.left, 1);
    EXPECT_NEAR(shrunk.bottom - shrunk.top, suggested.bottom - suggested.top, 1);
  });

  Open(Dialogs().back(), [&](HWND window) {
    RECT suggested = {};
    move(window, suggested);
    const SIZE size = BitmapSize(::GetDlgItem(window, IDC_ABOUT_BANNER));
    EXPECT_EQ(size.cx, ScaleToDpi(386, next));
    EXPECT_EQ(size.cy, ScaleToDpi(109, next));
  });
}

}  // namespace
}  // namespace tev
