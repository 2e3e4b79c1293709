#pragma once
// The interface path a simulated bus gives a device, shaped like the system's HID paths.
#include <cstdint>
#include <string>

namespace tev {

// \\?\hid#vid_VVVV&pid_PPPP#sim&SERIAL#{4d1e55b2-f16f-11cf-88cb-001111000030}, hex in lower case.
std::wstring SimInterfacePath(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial);

// Up to 32 ASCII letters and digits.
bool IsValidSimSerial(const std::string& serial);

}  // namespace tev
