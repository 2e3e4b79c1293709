#include "tests/hid/VirtualHidDevice.h"

#include <cfgmgr32.h>
#include <newdev.h>
#include <winioctl.h>
extern "C" {
#include <hidsdi.h>  // declares its functions without C linkage
}

#include <atomic>
#include <cwchar>

#include "tests/hid/TevHidControl.h"

namespace tev::hidtest {
namespace {

// The HID class of devices (not of interfaces): where the INF puts the device.
constexpr GUID kHidDeviceClass = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};
constexpr const wchar_t* kCommonHardwareId = L"root\\tevhid";
constexpr DWORD kPlugTimeoutMs = 15000;

std::wstring LastError(const wchar_t* what) {
  return std::wstring(what) + L" failed, error " + std::to_wstring(::GetLastError());
}

template <typename Check>
bool PollUntil(DWORD timeoutMs, Check check) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (check()) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(10);
  }
}

// A number no other device of this process, nor of another process plugging at the same time, has.
DWORD NewControlId() {
  static std::atomic<DWORD> next{0};
  return (::GetCurrentProcessId() << 10) | (next++ & 0x3ff);
}

std::wstring ControlPath(DWORD id) { return std::wstring(TEVHID_CONTROL_USER) + std::to_wstring(id); }

bool SetDword(HKEY key, const wchar_t* name, DWORD value) {
  return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

// The HID interface whose device is the class driver's child of ours (HID\<our id after ROOT\>).
std::wstring InterfaceOfChild(const std::wstring& childId) {
  GUID hid;
  ::HidD_GetHidGuid(&hid);
  win32::UniqueDeviceInfoList list(::SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!list) return {};
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD index = 0; ::SetupDiEnumDeviceInterfaces(list.Get(), nullptr, &hid, index, &data); ++index) {
    DWORD size = 0;
    ::SetupDiGetDeviceInterfaceDetailW(list.Get(), &data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<DWORD> storage(size / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!::SetupDiGetDeviceInterfaceDetailW(list.Get(), &data, detail, size, nullptr, &device)) continue;
    wchar_t id[MAX_DEVICE_ID_LEN];
    if (!::SetupDiGetDeviceInstanceIdW(list.Get(), &device, id, MAX_DEVICE_ID_LEN, nullptr)) continue;
    if (::_wcsicmp(id, childId.c_str()) == 0) return detail->DevicePath;
  }
  return {};
}

bool HasHardwareId(HDEVINFO set, SP_DEVINFO_DATA& info, const wchar_t* wanted) {
  wchar_t ids[512] = {};
  if (!::SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(ids),
                                           sizeof ids - 2 * sizeof(wchar_t), nullptr)) {
    return false;
  }
  for (const wchar_t* id = ids; *id; id += std::wcslen(id) + 1) {
    if (::_wcsicmp(id, wanted) == 0) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<VirtualHidDevice> VirtualHidDevice::Plug(const std::wstring& infPath, const VirtualHidParams& params,
                                                         std::wstring& error) {
  std::unique_ptr<VirtualHidDevice> device(new VirtualHidDevice);
  device->set_.Reset(::SetupDiCreateDeviceInfoList(&kHidDeviceClass, nullptr));
  if (!device->set_) return error = LastError(L"SetupDiCreateDeviceInfoList"), nullptr;
  HDEVINFO set = device->set_.Get();
  SP_DEVINFO_DATA& info = device->info_;
  info.cbSize = sizeof info;

  // Named as a USB device's instance is, so that the HID path reads like a real one.
  wchar_t name[32];
  std::swprintf(name, 32, L"VID_%04X&PID_%04X", params.vendorId, params.productId);
  if (!::SetupDiCreateDeviceInfoW(set, name, &kHidDeviceClass, L"Virtual USB altimeter (tests)", nullptr,
                                  DICD_GENERATE_ID, &info)) {
    return error = LastError(L"SetupDiCreateDeviceInfo"), nullptr;
  }
  // Its own hardware id first, so that installing the driver touches this device alone; the
  // common one is what the INF matches.
  const DWORD controlId = NewControlId();
  const std::wstring ownId = std::wstring(kCommonHardwareId) + L"&" + std::to_wstring(controlId);
  std::wstring ids = ownId + L'\0' + kCommonHardwareId + L'\0' + L'\0';
  if (!::SetupDiSetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids.data()),
                                           static_cast<DWORD>(ids.size() * sizeof(wchar_t)))) {
    return error = LastError(L"setting the hardware id"), nullptr;
  }
  if (!::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &info)) return error = LastError(L"DIF_REGISTERDEVICE"), nullptr;
  device->plugged_ = true;  // registered: from here on the destructor removes it

  HKEY key = ::SetupDiCreateDevRegKeyW(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
  if (key == INVALID_HANDLE_VALUE) return error = LastError(L"opening the device parameters"), nullptr;
  const bool written = SetDword(key, TEVHID_PARAM_VENDOR, params.vendorId) &&
                       SetDword(key, TEVHID_PARAM_PRODUCT, params.productId) &&
                       SetDword(key, TEVHID_PARAM_VERSION, params.version) &&
                       SetDword(key, TEVHID_PARAM_REPORT_LENGTH, params.reportLength) &&
                       SetDword(key, TEVHID_PARAM_CONTROL, controlId);
  ::RegCloseKey(key);
  if (!written) return error = L"writing the device parameters failed", nullptr;

  BOOL reboot = FALSE;
  if (!::UpdateDriverForPlugAndPlayDevicesW(nullptr, ownId.c_str(), infPath.c_str(), INSTALLFLAG_FORCE, &reboot)) {
    return error = LastError(L"installing the driver"), nullptr;
  }
  wchar_t instance[MAX_DEVICE_ID_LEN];
  if (!::SetupDiGetDeviceInstanceIdW(set, &info, instance, MAX_DEVICE_ID_LEN, nullptr)) {
    return error = LastError(L"SetupDiGetDeviceInstanceId"), nullptr;
  }
  device->instanceId_ = instance;

  const std::wstring control = ControlPath(controlId);
  if (!PollUntil(kPlugTimeoutMs, [&] {
        device->control_.Reset(::CreateFileW(control.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_OVERLAPPED, nullptr));
        return static_cast<bool>(device->control_);
      })) {
    return error = L"the driver did not start for " + device->instanceId_ + L" (no " + control + L")", nullptr;
  }
  device->inputEvent_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  device->outputEvent_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!device->inputEvent_ || !device->outputEvent_) return error = LastError(L"CreateEvent"), nullptr;

  const size_t slash = device->instanceId_.find(L'\\');
  const std::wstring child = L"HID" + device->instanceId_.substr(slash == std::wstring::npos ? 0 : slash);
  if (!PollUntil(kPlugTimeoutMs, [&] { return !(device->interfacePath_ = InterfaceOfChild(child)).empty(); })) {
    return error = L"no HID interface came for " + device->instanceId_, nullptr;
  }
  return device;
}

VirtualHidDevice::~VirtualHidDevice() { Unplug(); }

void VirtualHidDevice::Unplug() {
  control_.Reset();
  if (!plugged_) return;
  plugged_ = false;
  ::SetupDiCallClassInstaller(DIF_REMOVE, set_.Get(), &info_);
}

bool VirtualHidDevice::Control(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength, DWORD* returned,
                               DWORD timeoutMs) {
  if (!control_) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = code == static_cast<DWORD>(IOCTL_TEVHID_INPUT) ? inputEvent_.Get() : outputEvent_.Get();
  ::ResetEvent(overlapped.hEvent);
  if (!::DeviceIoControl(control_.Get(), code, const_cast<void*>(in), inLength, out, outLength, nullptr, &overlapped) &&
      ::GetLastError() != ERROR_IO_PENDING) {
    return false;
  }
  if (::WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) ::CancelIoEx(control_.Get(), &overlapped);
  return ::GetOverlappedResult(control_.Get(), &overlapped, returned, TRUE) != FALSE;
}

bool VirtualHidDevice::FeedInput(const std::uint8_t* report, std::size_t length) {
  DWORD returned = 0;
  return Control(IOCTL_TEVHID_INPUT, report, static_cast<DWORD>(length), nullptr, 0, &returned, 5000);
}

bool VirtualHidDevice::NextOutput(std::vector<std::uint8_t>& report, DWORD timeoutMs) {
  report.assign(TEVHID_MAX_REPORT, 0);
  DWORD returned = 0;
  if (!Control(IOCTL_TEVHID_OUTPUT, nullptr, 0, report.data(), TEVHID_MAX_REPORT, &returned, timeoutMs) || !returned) {
    report.clear();
    return false;
  }
  report.resize(returned);
  return true;
}

void VirtualHidDevice::CancelOutputWait() {
  if (control_) ::CancelIoEx(control_.Get(), nullptr);
}

int VirtualHidDevice::RemoveLeftovers() {
  win32::UniqueDeviceInfoList all(::SetupDiGetClassDevsW(&kHidDeviceClass, nullptr, nullptr, 0));
  if (!all) return 0;
  int removed = 0;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD index = 0; ::SetupDiEnumDeviceInfo(all.Get(), index, &info); ++index) {
    if (HasHardwareId(all.Get(), info, kCommonHardwareId) && ::SetupDiCallClassInstaller(DIF_REMOVE, all.Get(), &info)) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace tev::hidtest
