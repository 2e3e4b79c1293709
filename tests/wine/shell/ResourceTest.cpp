// The program's own resources (strings, icons, bitmap, dialog templates) and message box, in-process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/Screenshot.h"
#include "tests/wine/shell/WindowDriver.h"
#include "ui/framework/DialogClass.h"
#include "ui/framework/ShowMessage.h"
#include "win32/Guards.h"

namespace tev {
namespace {

std::wstring LoadText(UINT id) {
  wchar_t text[512] = {};
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, text, 512);
  return std::wstring(text, static_cast<size_t>(length));
}

TEST(StringTable, HoldsTheMessagesWordForWord) {
  const struct {
    UINT id;
    const wchar_t* text;
  } strings[] = {
      {103, L"Data set/s saved succesfully."},
      {104, L"Error saving file. Make sure that it is not write protected or locked, and that the disk has enough "
            L"space."},
      {105, L"File Exists. Are you sure you want to overwrite this file?"},
      {106, L"Failed to save the CSV file. Make sure that it is not write protected or locked, and that the disk has "
            L"enough space."},
      {107, L"Are you sure?"},
      {108, L"The data was read successfully."},
      {109, L"Could not load file. Make sure the file is valid and not locked."},
      {110, L"Please enter your aproximate MSL altitude and try again."},
      {111, L"The inhibit setting is very large. Please make sure that it is the correct setting."},
      {112, L"One or both of the ejection lines are disabled. Make sure this is correct."},
      {113, L"You may now connect the battery to the device if you want a real time launch. Click OK when connected or "
            L"ignore."},
      {114, L"Updating firmware is a delicate process.\r\nCanceling may cause your device to fail."},
  };
  for (const auto& s : strings) EXPECT_EQ(LoadText(s.id), s.text) << "string " << s.id;
  EXPECT_EQ(LoadText(102), L"");
  EXPECT_EQ(LoadText(115), L"");
}

// The connection icons are shown 48 pixels wide at 96 DPI and larger at higher DPIs: each size a
// screen asks for has a picture of its own in the icon, not one stretched from a smaller one.
TEST(Resources, EachIconHoldsAPictureOfItsOwnForEachDpisSize) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  for (UINT id : {IDI_APPLICATION_ICON, IDI_NOT_CONNECTED, IDI_CONNECTED}) {
    HRSRC group = ::FindResourceW(self, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    ASSERT_NE(group, nullptr) << "icon " << id;
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(self, group)));
    for (int size : {48, 72, 96}) {
      const int entry = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
      HRSRC picture = ::FindResourceW(self, MAKEINTRESOURCEW(entry), reinterpret_cast<LPCWSTR>(RT_ICON));
      ASSERT_NE(picture, nullptr) << "icon " << id << " at " << size;
      const auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(self, picture)));
      ASSERT_NE(header, nullptr);
      EXPECT_EQ(header->biWidth, size) << "icon " << id << " has no picture of its own at " << size;
    }
  }
}

TEST(Resources, IconsAndAboutBitmapLoadAtTheSizesUsed) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  for (UINT id : {IDI_APPLICATION_ICON, IDI_NOT_CONNECTED, IDI_CONNECTED}) {
    for (int size : {16, 32, 48}) {
      const win32::UniqueIcon icon(
          static_cast<HICON>(::LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
      EXPECT_NE(icon.Get(), nullptr) << "icon " << id << " at " << size;
    }
  }
  // As a DIB section the bitmap keeps the depth it was stored with.
  win32::UniqueBitmap bitmap(
      static_cast<HBITMAP>(::LoadImageW(self, MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ASSERT_TRUE(bitmap);
  BITMAP info = {};
  ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 386);
  EXPECT_EQ(info.bmHeight, 109);
  EXPECT_EQ(info.bmBitsPixel, 24);
}

TEST(DialogClass, RegistersOnceWithDialogExtraBytes) {
  ASSERT_TRUE(RegisterDialogClass());
  EXPECT_TRUE(RegisterDialogClass());  // a second call finds it there
  WNDCLASSW wc = {};
  ASSERT_TRUE(::GetClassInfoW(::GetModuleHandleW(nullptr), L"DialogClass", &wc));
  EXPECT_EQ(wc.cbWndExtra, DLGWINDOWEXTRA);
  EXPECT_EQ(wc.style, 0u);
  EXPECT_NE(wc.hIcon, nullptr);
}

// ---- Dialog templates ----

// Position and size in dialog units, as the template gives them.
struct Box {
  int x, y, w, h;
};

// Pictures size themselves to their image and an etched line to its own thickness: for those
// only the corner counts.
enum class Image { None, Icon, Bitmap, EtchedLine };

// One control as the user gets it: id, window class, text, the style bits that decide how it
// behaves, and where it sits.
struct ExpectedControl {
  int id;
  const wchar_t* windowClass;
  const wchar_t* text;  // null for pictures
  Box box;
  DWORD mask;
  DWORD style;
  Image image = Image::None;
};

// Bits every control is checked for: disabled at the start, shown, reached by Tab.
constexpr DWORD kState = WS_DISABLED | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kButtonKind = BS_TYPEMASK & ~DWORD{BS_DEFPUSHBUTTON};  // focus may make a push button the default

ExpectedControl GroupBox(int id, const wchar_t* text, Box box) {
  return {id, L"Button", text, box, BS_TYPEMASK | kState, BS_GROUPBOX | kShown};
}
ExpectedControl Push(int id, const wchar_t* text, Box box, DWORD extra = 0) {
  return {id, L"Button", text, box, kButtonKind | kState, BS_PUSHBUTTON | kShown | WS_TABSTOP | extra};
}
ExpectedControl CheckBox(int id, const wchar_t* text, Box box) {
  return {id, L"Button", text, box, BS_TYPEMASK | kState, BS_AUTOCHECKBOX | kShown | WS_TABSTOP};
}
// Only the first radio of a group starts it and takes the Tab; the arrow keys move inside it.
ExpectedControl Radio(int id, const wchar_t* text, Box box, bool first) {
  return {id,
          L"Button",
          text,
          box,
          BS_TYPEMASK | kState | WS_GROUP,
          BS_AUTORADIOBUTTON | kShown | (first ? WS_GROUP | WS_TABSTOP : 0)};
}
ExpectedControl Label(int id, const wchar_t* text, Box box) {
  return {id, L"Static", text, box, SS_TYPEMASK | kState, SS_LEFT | kShown};
}
ExpectedControl NumberEdit(int id, Box box, DWORD extra = 0) {
  return {
      id, L"Edit", L"", box, ES_NUMBER | ES_MULTILINE | ES_READONLY | kState, ES_NUMBER | kShown | WS_TABSTOP | extra};
}
ExpectedControl StatusBox(Box box) {
  // Output only: the buttons take the focus, not the status box.
  return {IDC_STATUS,
          L"Edit",
          L"",
          box,
          ES_MULTILINE | ES_READONLY | WS_VSCROLL | kState,
          ES_MULTILINE | ES_READONLY | WS_VSCROLL | kShown};
}
ExpectedControl ConnectionIcon(int id, Box box) {
  return {id, L"Static", nullptr, box, SS_TYPEMASK | kState, SS_ICON | kShown, Image::Icon};
}

struct ExpectedTemplate {
  int id;
  const wchar_t* title;
  Box size;  // client area in dialog units
  bool resizable;
  std::vector<ExpectedControl> controls;  // in tab order
};

const std::vector<ExpectedTemplate>& Templates() {
  static const std::vector<ExpectedTemplate> templates = {
      {IDD_CAPTURE,
       L"Capture Data",
       {0, 0, 311, 205},
       true,
       {
           GroupBox(IDC_CAPTURE_DEVICE_GROUP, L"Device Data", {7, 7, 297, 73}),
           {IDC_CAPTURE_STRIP,
            L"Static",
            L"",
            {14, 25, 283, 24},
            SS_TYPEMASK | SS_NOTIFY | kState,
            SS_GRAYFRAME | SS_NOTIFY | kShown},
           Push(IDC_CAPTURE_SAVE_SELECTED, L"Save Selected", {14, 55, 60, 18}),
           Push(IDC_CAPTURE_CLEAR, L"Clear Device", {237, 55, 60, 18}),
           GroupBox(IDC_CAPTURE_STATUS_GROUP, L"Status", {7, 85, 297, 88}),
           ConnectionIcon(IDC_CAPTURE_ICON, {14, 98, 20, 20}),
           StatusBox({50, 98, 247, 67}),
           CheckBox(IDC_CAPTURE_LIVE_UPDATE, L"Live Update", {7, 177, 47, 10}),
           CheckBox(IDC_CAPTURE_CSV, L"Generate Excel CSV", {7, 188, 77, 10}),
           Push(IDC_CAPTURE_READ, L"Read Data", {112, 180, 60, 18}),
           Push(IDC_CAPTURE_SAVE_ALL, L"Save All", {178, 180, 60, 18}),
           Push(IDC_CAPTURE_SELECT_CLOSE, L"Select && Close", {244, 180, 60, 18}),
       }},
      {IDD_SETTINGS,
       L"Program Chip",
       {0, 0, 317, 243},
       true,
       {
           GroupBox(IDC_SETTINGS_GROUP, L"Settings", {6, 6, 304, 105}),
           GroupBox(IDC_SETTINGS_LINE_A_GROUP, L"Line A", {12, 18, 90, 85}),
           Radio(IDC_SETTINGS_LINE_A_DISABLED, L"Disabed", {18, 36, 36, 10}, true),
           Radio(IDC_SETTINGS_LINE_A_TIME, L"Time", {60, 36, 32, 10}, false),
           Radio(IDC_SETTINGS_LINE_A_ALTITUDE, L"Altitude", {18, 48, 36, 10}, false),
           Radio(IDC_SETTINGS_LINE_A_APOGEE, L"Apogee", {60, 48, 36, 10}, false),
           Label(IDC_STATIC, L"Time [s]", {18, 66, 30, 12}),
           NumberEdit(IDC_SETTINGS_LINE_A_TIME_EDIT, {60, 66, 36, 12}, WS_DISABLED),
           Label(IDC_STATIC, L"Alt. [m AGL]", {18, 84, 36, 12}),
           NumberEdit(IDC_SETTINGS_LINE_A_ALT_EDIT, {60, 84, 36, 12}, WS_DISABLED),
           GroupBox(IDC_SETTINGS_LINE_B_GROUP, L"Line B", {108, 18, 90, 85}),
           Radio(IDC_SETTINGS_LINE_B_DISABLED, L"Disabed", {114, 36, 36, 10}, true),
           Radio(IDC_SETTINGS_LINE_B_TIME, L"Time", {156, 36, 30, 10}, false),
           Radio(IDC_SETTINGS_LINE_B_ALTITUDE, L"Altitude", {114, 48, 38, 10}, false),
           Radio(IDC_SETTINGS_LINE_B_APOGEE, L"Apogee", {156, 48, 36, 10}, false),
           Label(IDC_STATIC, L"Time [s]", {114, 66, 30, 12}),
           NumberEdit(IDC_SETTINGS_LINE_B_TIME_EDIT, {156, 66, 36, 12}, WS_DISABLED),
           Label(IDC_STATIC, L"Alt [m AGL]", {114, 84, 36, 12}),
           NumberEdit(IDC_SETTINGS_LINE_B_ALT_EDIT, {156, 84, 36, 12}, WS_DISABLED),
           GroupBox(IDC_SETTINGS_GENERAL_GROUP, L"General Settings", {204, 18, 99, 85}),
           Label(IDC_SETTINGS_INHIBIT_LABEL, L"Inhibit [s]", {208, 36, 30, 12}),
           NumberEdit(IDC_SETTINGS_INHIBIT_EDIT, {242, 36, 56, 12}),
           {IDC_SETTINGS_SEPARATOR,
            L"Static",
            L"",
            {208, 54, 90, 1},
            SS_TYPEMASK | kState,
            SS_ETCHEDHORZ | kShown,
            Image::EtchedLine},
           Label(IDC_SETTINGS_GROUND_ALT_LABEL, L"Apox. ground alt [m]", {208, 62, 62, 12}),
           NumberEdit(IDC_SETTINGS_GROUND_ALT_EDIT, {273, 61, 25, 12}),
           Push(IDC_SETTINGS_CALIBRATE, L"Calibrate Device", {208, 79, 90, 18}),
           GroupBox(IDC_SETTINGS_STATUS_GROUP, L"Status", {7, 117, 303, 92}),
           ConnectionIcon(IDC_SETTINGS_ICON, {14, 130, 16, 16}),
           StatusBox({48, 130, 255, 71}),
           Push(IDC_SETTINGS_READ, L"Read Settings", {118, 218, 60, 18}),
           Push(IDC_SETTINGS_WRITE, L"Write Settings", {184, 218, 60, 18}, WS_DISABLED),
           Push(IDC_SETTINGS_CLOSE, L"Close", {250, 218, 60, 18}),
       }},
      {IDD_CONTROL,
       L"Control Options",
       {0, 0, 261, 195},
       true,
       {
           GroupBox(IDC_CONTROL_OPTIONS_GROUP, L"Options", {7, 7, 247, 61}),
           Push(IDC_CONTROL_EMULATE, L"Emulate Launch...", {14, 21, 78, 18}),
           Push(IDC_CONTROL_READ_PRESSURE, L"Read Pressure", {14, 44, 78, 18}),
           Push(IDC_CONTROL_READ_BATTERY, L"Read Battery Voltage", {101, 21, 78, 18}),
           Push(IDC_CONTROL_FIRE, L"Fire lines for 2 seconds", {101, 44, 78, 18}),
           GroupBox(IDC_CONTROL_STATUS_GROUP, L"Status", {7, 75, 247, 88}),
           ConnectionIcon(IDC_CONTROL_ICON, {14, 88, 16, 16}),
           StatusBox({50, 88, 197, 67}),
           Push(IDC_CONTROL_CLOSE, L"Close", {194, 170, 60, 18}),
       }},
      {IDD_FIRMWARE,
       L"Update Firmware",
       {0, 0, 311, 125},
       true,
       {
           GroupBox(IDC_FIRMWARE_STATUS_GROUP, L"Status", {7, 7, 297, 88}),
           StatusBox({50, 20, 247, 67}),
           ConnectionIcon(IDC_FIRMWARE_ICON, {14, 20, 16, 16}),
           Push(IDC_FIRMWARE_UPDATE, L"Update...", {177, 100, 60, 18}),
           Push(IDC_FIRMWARE_CLOSE, L"Close", {244, 100, 60, 18}),
       }},
      {IDD_ABOUT,
       L"About",
       {0, 0, 237, 193},
       false,
       {
           {IDC_ABOUT_BANNER,
            L"Static",
            nullptr,
            {7, 7, 223, 63},
            SS_TYPEMASK | kState,
            SS_BITMAP | kShown,
            Image::Bitmap},
           GroupBox(IDC_ABOUT_GROUP, L"About", {7, 74, 223, 88}),
           StatusBox({15, 87, 208, 67}),
           Push(IDC_ABOUT_CLOSE, L"Close", {170, 169, 60, 18}),
       }},
  };
  return templates;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static bool Valid(HWND window) { return window != nullptr; }
  static void Release(HWND window) { ::DestroyWindow(window); }
};
using UniqueWindow = win32::Unique<HWND, WindowTraits>;

UniqueWindow OpenTemplate(int id) {
  EXPECT_TRUE(RegisterDialogClass());
  return UniqueWindow(
      ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, &PlainDialogProc, 0));
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::string Hex(DWORD bits) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(bits));
  return text;
}

bool SameClass(const std::wstring& actual, const wchar_t* expected) {
  return ::lstrcmpiW(actual.c_str(), expected) == 0;
}

// The dialog manager converts the corner and the size each on its own, so must we.
Box InPixels(HWND dialog, Box box) {
  RECT r = {box.x, box.y, box.w, box.h};
  ::MapDialogRect(dialog, &r);
  return {r.left, r.top, r.right, r.bottom};
}

Box PlaceInDialog(HWND dialog, HWND control) {
  RECT r = {};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ExpectControl(HWND dialog, HWND control, const ExpectedControl& want) {
  EXPECT_EQ(::GetDlgCtrlID(control), want.id);
  EXPECT_TRUE(SameClass(ClassOf(control), want.windowClass)) << "class " << ClassOf(control).c_str();
  if (want.text) {
    EXPECT_EQ(WindowText(control), want.text);
  }
  const auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
  EXPECT_EQ(Hex(style & want.mask), Hex(want.style)) << "style " << Hex(style);
  if (SameClass(want.windowClass, L"Edit")) {
    const auto ex = static_cast<DWORD>(::GetWindowLongW(control, GWL_EXSTYLE));
    EXPECT_TRUE((style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE)) << "an edit without a border";
  }
  const Box expected = InPixels(dialog, want.box);
  const Box actual = PlaceInDialog(dialog, control);
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  if (want.image == Image::None) {
    EXPECT_EQ(actual.w, expected.w);
    EXPECT_EQ(actual.h, expected.h);
  }
  if (want.image == Image::Icon) {
    EXPECT_NE(::SendMessageW(control, STM_GETICON, 0, 0), 0) << "no icon";
  }
  if (want.image == Image::Bitmap) {
    const auto shown = reinterpret_cast<HBITMAP>(::SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    ASSERT_EQ(::GetObjectW(shown, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 386);
    EXPECT_EQ(info.bmHeight, 109);
    EXPECT_EQ(actual.w, 386) << "the picture takes the bitmap's size";
    EXPECT_EQ(actual.h, 109);
  }
}

void PumpFor(DWORD ms) {
  for (const ULONGLONG end = ::GetTickCount64() + ms; ::GetTickCount64() < end; ::Sleep(10)) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

// Every template: title, class, frame, size, font, and each control in tab order.
TEST(DialogTemplates, HoldTheirControlsInTabOrderWithIdsTextsAndStyles) {
  for (const ExpectedTemplate& want : Templates()) {
    SCOPED_TRACE(::testing::Message() << "template " << want.id);
    const UniqueWindow dialog = OpenTemplate(want.id);
    ASSERT_TRUE(dialog);
    const HWND d = dialog.Get();

    EXPECT_EQ(WindowText(d), want.title);
    EXPECT_EQ(ClassOf(d), kDialogClassName);
    const auto style = static_cast<DWORD>(::GetWindowLongW(d, GWL_STYLE));
    const auto ex = static_cast<DWORD>(::GetWindowLongW(d, GWL_EXSTYLE));
    const DWORD always = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(style & always, always);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, want.resizable);
    EXPECT_EQ((ex & WS_EX_DLGMODALFRAME) != 0, !want.resizable);

    RECT client = {};
    ::GetClientRect(d, &client);
    const Box expected = InPixels(d, want.size);
    EXPECT_EQ(client.right, expected.w);
    EXPECT_EQ(client.bottom, expected.h);

    LOGFONTW font = {};
    ASSERT_EQ(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(d, WM_GETFONT, 0, 0)), sizeof(font), &font),
              static_cast<int>(sizeof(font)));
    EXPECT_STREQ(font.lfFaceName, L"Microsoft Sans Serif");
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    win32::WindowDc screen(nullptr);
    EXPECT_EQ(font.lfHeight, -::MulDiv(10, ::GetDeviceCaps(screen.Dc(), LOGPIXELSY), 72));

    size_t index = 0;
    for (HWND child = ::GetWindow(d, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
      if (index >= want.controls.size()) {
        ADD_FAILURE() << "control " << ::GetDlgCtrlID(child) << " is one too many";
        break;
      }
      SCOPED_TRACE(::testing::Message() << "control " << index << ", id " << want.controls[index].id);
      ExpectControl(d, child, want.controls[index]);
    }
    EXPECT_EQ(index, want.controls.size());
  }
}

// Pictures of every template, framed and painted as the system draws them (the dialogs' own
// painting is not here). Each dialog is shown inside one host window: without a window manager,
// Wine waits two seconds for every top-level window it hides, but not for a child.
TEST(DialogTemplates, PicturesForPeopleToLookAt) {
  const UniqueWindow host(::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                            ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(host);
  for (const ExpectedTemplate& want : Templates()) {
    // Group boxes leave their inside to the dialog, which clips its children: what shows there is
    // the host's face colour, not the previous picture.
    ::RedrawWindow(host.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const UniqueWindow dialog = OpenTemplate(want.id);
    ASSERT_TRUE(dialog);
    const HWND d = dialog.Get();
    ::SetWindowLongW(d, GWL_STYLE, (::GetWindowLongW(d, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    ::SetParent(d, host.Get());
    ::SetWindowPos(d, nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    ::UpdateWindow(d);
    PumpFor(200);
    RECT frame = {};
    ::GetWindowRect(d, &frame);
    const driver::Picture shot = driver::CaptureScreenRect(frame);
    EXPECT_TRUE(win32::testing::SaveScreenshot(L"template-" + std::to_wstring(want.id), shot.Pixels(), shot.Width(),
                                               shot.Height()))
        << "template " << want.id;
  }
}

// Each line's four modes are one radio group of its own: choosing a mode of Line A leaves Line B
// alone, and the arrow keys go round the four buttons without leaving them.
TEST(DialogTemplates, EachEjectionLineHasARadioGroupOfItsOwn) {
  const UniqueWindow dialog = OpenTemplate(IDD_SETTINGS);
  ASSERT_TRUE(dialog);
  const HWND d = dialog.Get();
  const auto click = [d](int id) { ::SendDlgItemMessageW(d, id, BM_CLICK, 0, 0); };
  const auto checked = [d](int id) { return ::IsDlgButtonChecked(d, id) == BST_CHECKED; };

  click(IDC_SETTINGS_LINE_A_DISABLED);
  click(IDC_SETTINGS_LINE_B_APOGEE);
  click(IDC_SETTINGS_LINE_A_TIME);
  EXPECT_FALSE(checked(IDC_SETTINGS_LINE_A_DISABLED));
  EXPECT_TRUE(checked(IDC_SETTINGS_LINE_A_TIME));
  EXPECT_TRUE(checked(IDC_SETTINGS_LINE_B_APOGEE));

  const struct {
    int first, last;
  } groups[] = {{IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_APOGEE},
                {IDC_SETTINGS_LINE_B_DISABLED, IDC_SETTINGS_LINE_B_APOGEE}};
  for (const auto& group : groups) {
    HWND item = ::GetDlgItem(d, group.first);
    for (int id = group.first + 1; id <= group.last; ++id) {
      item = ::GetNextDlgGroupItem(d, item, FALSE);
      EXPECT_EQ(::GetDlgCtrlID(item), id);
    }
    EXPECT_EQ(::GetDlgCtrlID(::GetNextDlgGroupItem(d, item, FALSE)), group.first)
        << "the group goes on past " << group.last;
  }
}

TEST(ShowMessage, ShowsTheStringUnderTheProgramsCaptionAndReturnsTheAnswer) {
  // Any box of this process is read and answered, so that a wrong caption fails the check
  // instead of leaving the box open.
  auto answered = std::async(std::launch::async, [] {
    const driver::MessageBoxSeen box = driver::WaitForMessageBox(::GetCurrentProcessId(), nullptr, 10000);
    if (!box.window) return std::pair<std::wstring, std::wstring>{};
    std::pair seen{driver::WindowText(box.window), box.text};
    driver::PressButton(box.window, IDNO);
    return seen;
  });
  const int result = ShowMessage(nullptr, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION);
  const auto [caption, message] = answered.get();
  EXPECT_EQ(result, IDNO);
  EXPECT_EQ(caption, L"TEV USB 1.40");
  EXPECT_EQ(message, L"Are you sure?");
}

}  // namespace
}  // namespace tev
