#pragma once
// A sysfs tree of a test's own, laid out as the kernel lays out hidraw nodes:
// class/hidraw/hidrawN links to devices/.../<HID device>/hidraw/hidrawN, whose `device` link
// leads back to the HID device (uevent with HID_ID, HID_UNIQ), which sits on a USB interface,
// which sits on the USB device (bcdDevice).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TempDir.h"

namespace tev::testing {

class FakeSysfs {
 public:
  const std::filesystem::path& Root() const { return dir_.Path(); }

  // A HID interface on the USB device in port n of the first bus; returns the node's own folder.
  std::filesystem::path AddUsb(int n, std::uint16_t vendor, std::uint16_t product, std::uint16_t bcdDevice,
                               const std::string& serial) {
    const auto usb = Root() / "devices/pci0000:00/0000:00:14.0/usb1" / ("1-" + std::to_string(n));
    std::filesystem::create_directories(usb);
    Write(usb / "bcdDevice", Hex(bcdDevice, 4, false) + "\n");
    return AddHid(n, usb / (usb.filename().string() + ":1.0"), 0x0003, vendor, product, serial);
  }

  // A HID interface on a Bluetooth link: no USB device, so no bcdDevice.
  std::filesystem::path AddBluetooth(int n, std::uint16_t vendor, std::uint16_t product) {
    const auto link = Root() / "devices/virtual/misc/uhid";
    return AddHid(n, link, 0x0005, vendor, product, "a0:b1:c2:d3:e4:f5");
  }

  // A node whose HID device says `uevent` about itself.
  std::filesystem::path AddWithUevent(int n, const std::string& uevent) {
    const auto hid = Root() / "devices/virtual/misc/odd" / ("0000:0000:0000." + Hex(static_cast<unsigned>(n), 4));
    std::filesystem::create_directories(hid);
    Write(hid / "uevent", uevent);
    return Link(n, hid);
  }

  // The device leaves: its node and folders go.
  void Remove(int n) {
    const auto own = std::filesystem::canonical(ClassLink(n));
    std::filesystem::remove(ClassLink(n));
    std::filesystem::remove_all(own.parent_path().parent_path());
  }

  std::filesystem::path ClassLink(int n) const { return Root() / "class/hidraw" / ("hidraw" + std::to_string(n)); }

  static std::string HidUevent(std::uint16_t bus, std::uint16_t vendor, std::uint16_t product, const std::string& serial) {
    return "DRIVER=hid-generic\nHID_ID=" + Hex(bus, 4) + ":" + Hex(vendor, 8) + ":" + Hex(product, 8) +
           "\nHID_NAME=Test Device\nHID_PHYS=usb-0000:00:14.0-1/input0\nHID_UNIQ=" + serial +
           "\nMODALIAS=hid:b" + Hex(bus, 4) + "g0001v" + Hex(vendor, 8) + "p" + Hex(product, 8) + "\n";
  }

 private:
  std::filesystem::path AddHid(int n, const std::filesystem::path& parent, std::uint16_t bus, std::uint16_t vendor,
                               std::uint16_t product, const std::string& serial) {
    // The kernel numbers every HID device it has seen: the folder of a device plugged in again differs.
    const auto hid = parent / (Hex(bus, 4) + ":" + Hex(vendor, 4) + ":" + Hex(product, 4) + "." + Hex(++sequence_, 4));
    std::filesystem::create_directories(hid);
    Write(hid / "uevent", HidUevent(bus, vendor, product, serial));
    return Link(n, hid);
  }

  std::filesystem::path Link(int n, const std::filesystem::path& hid) {
    const std::string name = "hidraw" + std::to_string(n);
    const auto own = hid / "hidraw" / name;
    std::filesystem::create_directories(own);
    Write(own / "uevent", "MAJOR=240\nMINOR=" + std::to_string(n) + "\nDEVNAME=" + name + "\n");
    std::filesystem::create_directory_symlink("../../../" + hid.filename().string(), own / "device");
    std::filesystem::create_directories(Root() / "class/hidraw");
    std::filesystem::create_directory_symlink(std::filesystem::relative(own, Root() / "class/hidraw"), ClassLink(n));
    return std::filesystem::canonical(own);
  }

  static std::string Hex(unsigned value, int digits, bool upper = true) {
    char text[16];
    std::snprintf(text, sizeof text, upper ? "%0*X" : "%0*x", digits, value);
    return text;
  }
  static void Write(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

  TempDir dir_;
  unsigned sequence_ = 0;
};

}  // namespace tev::testing
