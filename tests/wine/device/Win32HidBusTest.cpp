// The Windows HID bus against Wine's own HID devices, none of which is an altimeter.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/AltimeterDevice.h"
#include "device/win32/DeviceChange.h"
#include "device/win32/Win32HidBus.h"
#include "tests/support/LogCapture.h"
#include "win32/Guards.h"

namespace tev::win32 {
namespace {

TEST(Win32HidBus, EnumeratesTheSystemsHidInterfacesAndFindsNoAltimeter) {
  Win32HidBus bus;
  const std::vector<std::wstring> paths = bus.EnumerateInterfaces();
  std::printf("%zu HID interfaces\n", paths.size());
  ASSERT_FALSE(paths.empty()) << "Wine presents a HID keyboard and mouse";
  int readable = 0;
  for (const std::wstring& path : paths) {
    EXPECT_FALSE(path.empty());
    if (auto attrs = bus.ReadAttributes(path)) {
      ++readable;
      EXPECT_NE(attrs->VendorID, kVendorId);
    }
  }
  std::printf("%d with readable attributes\n", readable);

  AltimeterDevice device(bus);
  LogCapture log;
  std::uint16_t version = 0x1234;
  EXPECT_EQ(device.Connect(Personality::Application, &version), kNotFound);
  EXPECT_EQ(device.Connect(Personality::Bootloader, &version), kNotFound);
  EXPECT_EQ(version, 0x1234);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(log.Lines().empty());
}

TEST(Win32HidBus, APathThatIsNoDeviceFailsEverywhereAtOnce) {
  Win32HidBus bus;
  const std::wstring bogus = L"\\\\?\\hid#vid_1209&pid_0002#nothing#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  EXPECT_FALSE(bus.ReadAttributes(bogus).has_value());
  EXPECT_EQ(bus.OpenForReading(bogus), kInvalidHidHandle);

  AltimeterDevice device(bus);
  device.devicePath = bogus;
  LogCapture log;
  EXPECT_FALSE(device.Open());
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Cant get USB file handle. The file is locked.",
                                                   "Invalid read handle.", "Invalid write handle."}));
  const auto start = std::chrono::steady_clock::now();
  std::uint8_t report[4] = {};
  EXPECT_FALSE(bus.WriteReport(kInvalidHidHandle, report, 4, 3000));
  EXPECT_FALSE(bus.ReadReport(12345, report, 4, 3000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(Win32HidBus, AReadOnASilentDeviceTimesOutOnTime) {
  Win32HidBus bus;
  // Wine's HID devices send nothing on their own: a read on one that opens times out.
  for (const std::wstring& path : bus.EnumerateInterfaces()) {
    const HidHandle read = bus.OpenForReading(path);
    if (read == kInvalidHidHandle) continue;
    std::uint8_t buffer[64] = {};
    for (int i = 0; i < 2; ++i) {
      const auto start = std::chrono::steady_clock::now();
      EXPECT_FALSE(bus.ReadReport(read, buffer, sizeof buffer, 100));
      const auto took = std::chrono::steady_clock::now() - start;
      EXPECT_GE(took, std::chrono::milliseconds(90));
      EXPECT_LT(took, std::chrono::milliseconds(2000));
    }
    bus.Close(read);
    return;
  }
  GTEST_SKIP() << "no HID interface could be opened for reading";
}

// A device end the test controls: a named pipe in message mode, one message per report. The bus
// opens it like any other path.
class ReportPipe {
 public:
  ReportPipe()
      : name_(L"\\\\.\\pipe\\tev-hid-test-" + std::to_wstring(::GetCurrentProcessId())),
        pipe_(::CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 4096, 4096, 0,
                                 nullptr)) {}

  bool Valid() const { return pipe_.Valid(); }
  const std::wstring& Path() const { return name_; }
  bool Send(const std::vector<std::uint8_t>& report) {
    DWORD written = 0;
    return ::WriteFile(pipe_.Get(), report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
           written == report.size();
  }

 private:
  std::wstring name_;
  win32::UniqueFileHandle pipe_;  // INVALID_HANDLE_VALUE on failure, as CreateFileW
};

TEST(Win32HidBus, AReadThatTimesOutIsCancelledAndTheHandleStaysUsable) {
  ReportPipe device;
  ASSERT_TRUE(device.Valid());
  Win32HidBus bus;
  const HidHandle read = bus.OpenForReading(device.Path());
  ASSERT_NE(read, kInvalidHidHandle);

  std::uint8_t timedOut[4] = {};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(bus.ReadReport(read, timedOut, sizeof timedOut, 100));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(90));
  EXPECT_LT(took, std::chrono::milliseconds(2000));

  // A report that comes after the time-out belongs to the next read. Had the timed-out read been
  // left pending, it would have swallowed the report into a buffer nobody looks at any more.
  ASSERT_TRUE(device.Send({0, 0x34, 0x12, 5}));
  std::uint8_t next[4] = {};
  EXPECT_TRUE(bus.ReadReport(read, next, sizeof next, 1000));
  EXPECT_EQ(std::vector<std::uint8_t>(next, next + 4), (std::vector<std::uint8_t>{0, 0x34, 0x12, 5}));
  EXPECT_EQ(std::vector<std::uint8_t>(timedOut, timedOut + 4), std::vector<std::uint8_t>(4, 0));
  bus.Close(read);
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE) {
    auto* seen = reinterpret_cast<std::vector<std::pair<WPARAM, DeviceBroadcast>>*>(
        ::GetWindowLongPtrW(window, GWLP_USERDATA));
    seen->emplace_back(wParam, ToDeviceBroadcast(reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)));
    return TRUE;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(DeviceChange, ASentNoticeReadsBackAsTheSystemWouldDeliverIt) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TevDeviceChangeTest";
  ::RegisterClassW(&wc);
  HWND window = ::CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  std::vector<std::pair<WPARAM, DeviceBroadcast>> seen;
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));

  const std::wstring path = L"\\\\?\\hid#vid_1209&pid_0002#sim&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  SendDeviceChange(window, true, path);
  SendDeviceChange(window, false, path);
  ::DestroyWindow(window);

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, static_cast<WPARAM>(DBT_DEVICEARRIVAL));
  EXPECT_EQ(seen[1].first, static_cast<WPARAM>(DBT_DEVICEREMOVECOMPLETE));
  EXPECT_EQ(seen[1].second.deviceType, kBroadcastDeviceInterface);
  EXPECT_EQ(seen[1].second.name, path);

  Win32HidBus bus;
  AltimeterDevice device(bus);
  device.devicePath = L"\\\\?\\HID#VID_1209&PID_0002#SIM&0001#{4D1E55B2-F16F-11CF-88CB-001111000030}";
  LogCapture log;
  EXPECT_TRUE(device.IsSameDevice(seen[1].second));
}

}  // namespace
}  // namespace tev::win32
