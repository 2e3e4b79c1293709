#pragma once
// What a simulated altimeter is told when it is made: identity, timing and faults.
#include <cstdint>
#include <optional>
#include <string>

#include "device/DeviceIds.h"

namespace tev {

struct SimConfig {
  Personality personality = Personality::Application;
  std::uint16_t vendorId = kVendorId;
  std::optional<std::uint16_t> productId;  // unset: the personality's own
  std::uint16_t firmwareVersion = 0x0140;
  std::uint16_t bootloaderVersion = 0x0100;
  std::uint16_t hardwareVersion = 0x0120;
  std::string serial = "0001";  // up to 32 ASCII letters and digits
  bool refuseOpen = false;      // as if another program held the device
  bool attributesUnreadable = false;
  std::uint32_t reportIntervalMs = 1;  // between two input reports; 0 in unit tests
};

enum class SimFaultKind {
  WithholdAccept,   // output report `at` is not taken
  WithholdReplies,  // input report `at` and the rest of that reaction are never sent
  ReplaceCode,      // input report `at` carries `code` in place of its own
  EndEarly,         // input report `at` becomes a completion and the rest of that reaction is dropped
  UnplugAfter,      // the device unplugs once `at` more input reports have gone out
  InsertBefore,     // an extra copy of input report `at`, carrying `code`, goes out just before it
};

// `at` counts output reports (WithholdAccept) or input reports (the others) from the moment the
// fault is injected, starting at 0.
struct SimFault {
  SimFaultKind kind = SimFaultKind::WithholdReplies;
  std::uint32_t at = 0;
  std::uint8_t code = 0;
};

}  // namespace tev
