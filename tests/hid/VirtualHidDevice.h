#pragma once
// The user-mode side of the tests' virtual HID device: plugs a root-enumerated device as Windows
// installs one (SetupAPI creates and registers the instance, newdev installs the driver from its
// INF), feeds its input reports, collects its output reports and unplugs it. What the host sees
// is a HID device like any other, through hid.dll and the HID class driver.
//
//   auto device = VirtualHidDevice::Plug(inf, {0x1209, 0x0002, 0x0140, 4}, error);
//   device->FeedInput(report, 4);            // the host's next read gets it
//   device->NextOutput(written, 3000);       // what the host wrote, id byte first
//   device.reset();                          // unplugged
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32/DeviceInfoList.h"
#include "win32/Guards.h"

namespace tev::hidtest {

struct VirtualHidParams {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t version = 0;
  std::uint32_t reportLength = 0;  // with the report id byte: 4 or 65
};

class VirtualHidDevice {
 public:
  // Plugs a device and waits until its HID interface is there; null with `error` said otherwise.
  static std::unique_ptr<VirtualHidDevice> Plug(const std::wstring& infPath, const VirtualHidParams& params,
                                                std::wstring& error);
  ~VirtualHidDevice();  // unplugs it
  VirtualHidDevice(const VirtualHidDevice&) = delete;
  VirtualHidDevice& operator=(const VirtualHidDevice&) = delete;

  // One input report, id byte first.
  bool FeedInput(const std::uint8_t* report, std::size_t length);
  // The next report the host wrote, id byte first; false on time-out or once unplugged.
  bool NextOutput(std::vector<std::uint8_t>& report, DWORD timeoutMs);
  // Ends a NextOutput waiting on another thread.
  void CancelOutputWait();
  // Removes the device (DIF_REMOVE); what is plugged no longer feeds or collects.
  void Unplug();

  const std::wstring& InterfacePath() const { return interfacePath_; }
  const std::wstring& InstanceId() const { return instanceId_; }

  // Removes every instance of the virtual device left in the system: plugged instances outlive
  // the session that plugged them and would come back at the next one without a feeder.
  static int RemoveLeftovers();

 private:
  VirtualHidDevice() = default;
  bool Control(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength, DWORD* returned,
               DWORD timeoutMs);

  win32::UniqueDeviceInfoList set_;
  SP_DEVINFO_DATA info_{};
  win32::UniqueFileHandle control_;
  win32::UniqueKernelHandle inputEvent_;
  win32::UniqueKernelHandle outputEvent_;
  std::wstring instanceId_;
  std::wstring interfacePath_;
  bool plugged_ = false;
};

}  // namespace tev::hidtest
