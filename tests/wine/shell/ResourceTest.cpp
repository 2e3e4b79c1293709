// The program's own resources and message box, in-process.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "resources/ResourceIds.h"
#include "ui/framework/DialogClass.h"
#include "ui/framework/ShowMessage.h"

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

TEST(Resources, IconsAndAboutBitmapLoadAtTheSizesUsed) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  for (UINT id : {IDI_APPLICATION_ICON, IDI_NOT_CONNECTED, IDI_CONNECTED}) {
    for (int size : {16, 32, 48}) {
      HANDLE icon = ::LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0);
      EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
      if (icon) ::DestroyIcon(static_cast<HICON>(icon));
    }
  }
  HANDLE bitmap = ::LoadImageW(self, MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info = {};
  ::GetObjectW(bitmap, sizeof(info), &info);
  EXPECT_GT(info.bmWidth, 0);
  ::DeleteObject(bitmap);
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

// Answers the first message box of this process with `button`, recording what it showed.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int button)
      : thread_([this, button] {
          for (int i = 0; i < 200 && !done_; ++i) {
            HWND box = ::FindWindowW(L"#32770", nullptr);
            DWORD owner = 0;
            if (box) ::GetWindowThreadProcessId(box, &owner);
            if (box && owner == ::GetCurrentProcessId() && ::GetDlgItem(box, 0xFFFF)) {
              wchar_t text[512] = {};
              ::GetWindowTextW(box, text, 512);
              caption = text;
              ::GetDlgItemTextW(box, 0xFFFF, text, 512);
              message = text;
              ::PostMessageW(box, WM_COMMAND, button, 0);
              done_ = true;
            }
            ::Sleep(50);
          }
        }) {}
  ~BoxAnswerer() { thread_.join(); }
  std::wstring caption;
  std::wstring message;

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

TEST(ShowMessage, ShowsTheStringUnderTheProgramsCaptionAndReturnsTheAnswer) {
  std::wstring caption, message;
  int result = 0;
  {
    BoxAnswerer answerer(IDNO);
    result = ShowMessage(nullptr, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION);
    ::Sleep(100);
    caption = answerer.caption;
    message = answerer.message;
  }
  EXPECT_EQ(result, IDNO);
  EXPECT_EQ(caption, L"TEV USB 1.40");
  EXPECT_EQ(message, L"Are you sure?");
}

}  // namespace
}  // namespace tev
