#include "device/win32/DeviceChange.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "device/win32/Win32HidBus.h"

namespace tev::win32 {

DeviceBroadcast ToDeviceBroadcast(const DEV_BROADCAST_HDR* header) {
  DeviceBroadcast broadcast;
  if (!header) return broadcast;
  broadcast.deviceType = header->dbch_devicetype;
  if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    // The name runs to the end of the record; never read past dbch_size even if it is not ended.
    const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const std::size_t room = header->dbch_size > offset ? (header->dbch_size - offset) / sizeof(wchar_t) : 0;
    const wchar_t* name = record->dbcc_name;
    std::size_t length = 0;
    while (length < room && name[length] != L'\0') ++length;
    broadcast.name.assign(name, length);
  }
  return broadcast;
}

LRESULT SendDeviceChange(HWND window, bool arrived, const std::wstring& path) {
  const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  const std::size_t size = offset + (path.size() + 1) * sizeof(wchar_t);
  std::vector<DWORD> storage(size / sizeof(DWORD) + 1, 0);
  auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
  record->dbcc_size = static_cast<DWORD>(size);
  record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  record->dbcc_classguid = HidInterfaceClass();
  std::memcpy(record->dbcc_name, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
  return ::SendMessageW(window, WM_DEVICECHANGE, arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                        reinterpret_cast<LPARAM>(record));
}

}  // namespace tev::win32
