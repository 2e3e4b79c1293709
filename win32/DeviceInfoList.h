#pragma once
// A SetupAPI device information list, owned as every other handle is.
#include <windows.h>

#include <setupapi.h>

#include "win32/Guards.h"

namespace tev::win32 {

struct DeviceInfoListTraits {  // SetupDiGetClassDevsW, SetupDiCreateDeviceInfoList
  static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HDEVINFO h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Release(HDEVINFO h) { ::SetupDiDestroyDeviceInfoList(h); }
};
using UniqueDeviceInfoList = Unique<HDEVINFO, DeviceInfoListTraits>;

}  // namespace tev::win32
