#pragma once
// The part of a device-change notification that tells which device changed, without the
// system's record layout (the Windows shell converts DEV_BROADCAST_DEVICEINTERFACE_W to it).
#include <cstdint>
#include <string>

namespace tev {

inline constexpr std::uint32_t kBroadcastDeviceInterface = 5;  // DBT_DEVTYP_DEVICEINTERFACE

struct DeviceBroadcast {
  std::uint32_t deviceType = 0;
  std::wstring name;  // the interface path, for a device-interface broadcast
};

}  // namespace tev
