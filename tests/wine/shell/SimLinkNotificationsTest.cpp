// The demo build's device-change notices reach a window as the system's would.
#include "app/SimLinkNotifications.h"

#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/DeviceBroadcast.h"
#include "device/win32/DeviceChange.h"

namespace tev {
namespace {

struct Notice {
  WPARAM event;
  DeviceBroadcast broadcast;
};
std::vector<Notice> received;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE) {
    received.push_back({wParam, win32::ToDeviceBroadcast(reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam))});
    return TRUE;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow() {
  static const ATOM atom = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Record;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NoticeRecorder";
    return ::RegisterClassW(&wc);
  }();
  EXPECT_NE(atom, 0);
  return ::CreateWindowExW(0, L"NoticeRecorder", L"", 0, 0, 0, 10, 10, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                           nullptr);
}

// The notices are sent from another thread: they arrive while this one takes messages.
void PumpUntil(size_t count, DWORD timeoutMs = 5000) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  MSG msg;
  while (received.size() < count && ::GetTickCount64() < end) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

TEST(SimLinkNotifications, ArrivalAndRemovalReachEveryWindowThatAskedNamingTheDevice) {
  received.clear();
  const std::wstring path = L"\\\\?\\hid#vid_1209&pid_0002#sim&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  HWND first = MakeWindow();
  HWND second = MakeWindow();
  HWND gone = MakeWindow();
  SimLinkNotifications notifications;
  notifications.AddWindow(first);
  notifications.AddWindow(gone);
  notifications.AddWindow(second);
  notifications.AddWindow(first);  // asking twice is hearing once
  ::DestroyWindow(gone);

  notifications.DeviceChanged(true, path);
  PumpUntil(2);
  notifications.DeviceChanged(false, path);
  PumpUntil(4);
  PumpUntil(5, 300);  // nothing more comes

  ASSERT_EQ(received.size(), 4u);
  for (size_t i = 0; i < received.size(); ++i) {
    EXPECT_EQ(received[i].event, i < 2 ? static_cast<WPARAM>(DBT_DEVICEARRIVAL) : DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(received[i].broadcast.deviceType, kBroadcastDeviceInterface);
    EXPECT_EQ(received[i].broadcast.name, path);
  }
  ::DestroyWindow(first);
  ::DestroyWindow(second);
}

}  // namespace
}  // namespace tev
