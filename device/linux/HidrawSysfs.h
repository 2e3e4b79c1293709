#pragma once
// What sysfs says about the hidraw nodes: the HID device behind each (bus, vendor, product,
// serial) and the release number of the USB device it sits on.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tev::hidraw {

inline constexpr std::uint16_t kBusUsb = 0x0003;

struct HidrawInterface {
  // The node's own sysfs folder with every link resolved. The HID device's folder in it carries a
  // sequence number that the kernel never reuses, so the path names this plug-in of the device
  // and no later one, even when the node's number is given out again.
  std::string path;
  std::string node;  // the device file: /dev/hidrawN
  std::uint16_t bus = 0;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  // The USB device's bcdDevice; none when the device is on another bus or it cannot be read.
  std::optional<std::uint16_t> version;
  std::string serial;  // HID_UNIQ; empty when the device has none
};

// The hidraw nodes under sysfsRoot (normally /sys), by their numbers; a node whose HID device
// cannot be read or names no bus, vendor and product is left out.
std::vector<HidrawInterface> ScanHidraw(const std::filesystem::path& sysfsRoot);

// The node at `path` as it is now; nullopt once it has gone, or when the path is not one that
// ScanHidraw gives for this root.
std::optional<HidrawInterface> FindHidraw(const std::filesystem::path& sysfsRoot, const std::string& path);

}  // namespace tev::hidraw
