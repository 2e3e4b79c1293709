#include <gtest/gtest.h>

#include "device/AltimeterDevice.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"

namespace tev {
namespace {

using Lines = std::vector<std::string>;

TEST(Connect, NoAltimeterIsNotFoundInBothPersonalitiesAndLogsNothing) {
  VirtualBus bus;
  bus.Plug(MakeForeignDevice());
  AltimeterDevice device(bus);
  LogCapture log;
  std::uint16_t version = 0xBEEF;
  EXPECT_EQ(device.Connect(Personality::Application, &version), kNotFound);
  EXPECT_EQ(device.Connect(Personality::Bootloader, &version), kNotFound);
  EXPECT_EQ(version, 0xBEEF);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(log.Lines().empty());
}

TEST(Connect, VersionsAreComparedWithoutTheirRevision) {
  struct Case {
    Personality personality;
    std::uint16_t version;
    int result;
  };
  const Case cases[] = {
      {Personality::Application, 0x0140, kConnected},    {Personality::Application, 0x0141, kConnected},
      {Personality::Application, 0x014F, kConnected},    {Personality::Application, 0x0150, kWrongVersion},
      {Personality::Application, 0x0130, kWrongVersion}, {Personality::Bootloader, 0x0105, kConnected},
      {Personality::Bootloader, 0x0110, kWrongVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    VirtualBus bus;
    bus.Plug(MakeSim(c.personality, c.version));
    AltimeterDevice device(bus);
    std::uint16_t version = 0;
    EXPECT_EQ(device.Connect(c.personality, &version), c.result);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(device.IsOpen(), c.result == kConnected);
    EXPECT_EQ(device.bootloaderMode, c.result == kConnected && c.personality == Personality::Bootloader);
    if (c.result == kConnected) {
      EXPECT_EQ(device.attributes.VersionNumber, c.version);
    }
  }
}

TEST(Connect, ThePersonalitiesAreToldApartByProductId) {
  VirtualBus bus;
  bus.Plug(MakeSim(Personality::Bootloader));
  AltimeterDevice device(bus);
  EXPECT_EQ(device.Connect(Personality::Application), kNotFound);
  EXPECT_EQ(device.Connect(Personality::Bootloader), kConnected);
  EXPECT_TRUE(device.bootloaderMode);
  EXPECT_EQ(device.attributes.ProductID, kBootloaderProductId);
  EXPECT_EQ(device.attributes.VendorID, kVendorId);
}

TEST(Connect, TheFirstCompatibleDeviceIsUsedAndIncompatibleOnesAreSkipped) {
  VirtualBus bus;
  bus.Plug(MakeSim(Personality::Application, 0x0150, "old"));
  const std::wstring first = bus.Plug(MakeSim(Personality::Application, 0x0142, "A1"));
  bus.Plug(MakeSim(Personality::Application, 0x0140, "B2"));
  AltimeterDevice device(bus);
  std::uint16_t version = 0;
  ASSERT_EQ(device.Connect(Personality::Application, &version), kConnected);
  EXPECT_EQ(device.devicePath, first);
  EXPECT_EQ(version, 0x0142);
}

TEST(Connect, AnInterfaceWithUnreadableAttributesDoesNotHideTheAltimeter) {
  VirtualBus bus;
  auto broken = MakeForeignDevice("broken");
  broken->SetAttributesUnreadable(true);
  bus.Plug(broken);
  const std::wstring altimeter = bus.Plug(MakeSim());
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  EXPECT_EQ(device.devicePath, altimeter);

  // Nor is the unreadable one ever reported, even when it is an altimeter itself.
  auto unreadableAltimeter = MakeSim(Personality::Application, 0, "ghost");
  unreadableAltimeter->SetAttributesUnreadable(true);
  VirtualBus other;
  other.Plug(unreadableAltimeter);
  AltimeterDevice lonely(other);
  EXPECT_TRUE(lonely.FindDevices(kApplicationProductId, 0, 0).empty());
  EXPECT_EQ(lonely.Connect(Personality::Application), kNotFound);
}

TEST(Connect, ADeviceThatCannotBeOpenedGivesCannotOpenWithItsVersion) {
  VirtualBus bus;
  auto held = MakeSim(Personality::Application, 0x0143);
  held->SetRefuseOpen(true);
  bus.Plug(held);
  AltimeterDevice device(bus);
  LogCapture log;
  std::uint16_t version = 0;
  EXPECT_EQ(device.Connect(Personality::Application, &version), kCannotOpen);
  EXPECT_EQ(version, 0x0143);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.readHandle.load(), kInvalidHidHandle);
  EXPECT_EQ(device.writeHandle.load(), kInvalidHidHandle);
  EXPECT_EQ(log.Lines(), (Lines{"Cant get USB file handle. The file is locked.", "Invalid read handle.",
                                "Invalid write handle."}));
}

TEST(Connect, AnotherProgramHoldingOneKindOfAccessFailsOnlyThatHandle) {
  VirtualBus bus;
  const std::wstring path = bus.Plug(MakeSim());
  // Another program writes to the device; our write handle is refused, the read handle was fine
  // and is closed again.
  const HidHandle intruder = bus.OpenForWriting(path);
  ASSERT_NE(intruder, kInvalidHidHandle);
  AltimeterDevice device(bus);
  LogCapture log;
  EXPECT_EQ(device.Connect(Personality::Application), kCannotOpen);
  EXPECT_EQ(log.Lines(), (Lines{"Cant get USB file handle. The file is locked.", "Invalid write handle."}));
  EXPECT_NE(bus.OpenForReading(path), kInvalidHidHandle) << "our read handle was left open";

  // Once we hold it, a third program is refused either access.
  bus.Close(intruder);
  VirtualBus clean;
  const std::wstring cleanPath = clean.Plug(MakeSim());
  AltimeterDevice owner(clean);
  ASSERT_EQ(owner.Connect(Personality::Application), kConnected);
  EXPECT_EQ(clean.OpenForReading(cleanPath), kInvalidHidHandle);
  EXPECT_EQ(clean.OpenForWriting(cleanPath), kInvalidHidHandle);
  EXPECT_TRUE(clean.ReadAttributes(cleanPath).has_value());
}

TEST(Connect, OpenOnAnOpenObjectKeepsItsHandles) {
  VirtualBus bus;
  bus.Plug(MakeSim());
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  const HidHandle read = device.readHandle, write = device.writeHandle;
  EXPECT_TRUE(device.Open());
  EXPECT_EQ(device.readHandle.load(), read);
  EXPECT_EQ(device.writeHandle.load(), write);
}

TEST(Connect, ReconnectingReleasesThePreviousHandlesAndKeepsBootloaderMode) {
  VirtualBus bus;
  const std::wstring path = bus.Plug(MakeSim(Personality::Bootloader));
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Bootloader), kConnected);
  EXPECT_EQ(device.Connect(Personality::Application), kNotFound);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.bootloaderMode) << "a failed connect leaves the flag as it was";
  // Our handles are gone: someone else may open the device now.
  const HidHandle other = bus.OpenForReading(path);
  EXPECT_NE(other, kInvalidHidHandle);
  bus.Close(other);
}

TEST(Connect, CloseClearsTheFlagsAndCloseHandlesKeepsThem) {
  VirtualBus bus;
  bus.Plug(MakeSim(Personality::Bootloader));
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Bootloader), kConnected);
  device.cancelRequested = true;
  device.CloseHandles();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.bootloaderMode);
  EXPECT_TRUE(device.cancelRequested);

  ASSERT_EQ(device.Connect(Personality::Bootloader), kConnected);
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(device.bootloaderMode);
  EXPECT_FALSE(device.cancelRequested);
}

TEST(Connect, ANewObjectHoldsTheDefaults) {
  VirtualBus bus;
  AltimeterDevice device(bus);
  EXPECT_TRUE(device.devicePath.empty());
  EXPECT_EQ(device.attributes.Size, 12u);
  EXPECT_EQ(device.attributes.VendorID, 0);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_FALSE(device.bootloaderMode);
  const SettingsImage defaults{0xE0, 0x03, 0xFF, 0x3C, 0x00, 0x14, 0x00, 0x50,
                               0x00, 0x32, 0x96, 0x00, 0x96, 0x00, 0x3B, 0x04};
  EXPECT_EQ(device.settings.image, defaults);
  EXPECT_EQ(device.liveSet.xMax, 1);
  EXPECT_EQ(device.liveSet.yMax, 1);
  EXPECT_TRUE(device.packets.empty());
  EXPECT_TRUE(device.currentSet.adc.empty());
}

TEST(IsSameDevice, MatchesTheConnectedPathIgnoringCase) {
  VirtualBus bus;
  const std::wstring path = bus.Plug(MakeSim());
  AltimeterDevice device(bus);
  ASSERT_EQ(device.Connect(Personality::Application), kConnected);
  std::wstring upper = path;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  ASSERT_NE(upper, path);

  LogCapture log;
  EXPECT_TRUE(device.IsSameDevice({kBroadcastDeviceInterface, upper}));
  const std::string narrowPath(path.begin(), path.end()), narrowUpper(upper.begin(), upper.end());
  EXPECT_EQ(log.Lines(), (Lines{"->" + narrowPath, "->" + narrowUpper}));

  log.Clear();
  EXPECT_FALSE(device.IsSameDevice({kBroadcastDeviceInterface, path + L"x"}));
  EXPECT_EQ(log.Lines().back(), "Match Failed.");

  log.Clear();
  EXPECT_FALSE(device.IsSameDevice({3, path}));  // a port, not a device interface
  EXPECT_EQ(log.Lines(), Lines{"Match Failed."});
}

TEST(IsSameDevice, CharactersOutsideAsciiAreLoggedAsQuestionMarksButStillCompared) {
  VirtualBus bus;
  AltimeterDevice device(bus);
  device.devicePath = L"\\\\?\\hid#\u00e9";
  LogCapture log;
  EXPECT_FALSE(device.IsSameDevice({kBroadcastDeviceInterface, L"\\\\?\\hid#\u00e8"}));
  EXPECT_EQ(log.Lines(), (Lines{"->\\\\?\\hid#?", "->\\\\?\\hid#?", "Match Failed."}));
  EXPECT_TRUE(device.IsSameDevice({kBroadcastDeviceInterface, L"\\\\?\\HID#\u00e9"}));
}

}  // namespace
}  // namespace tev
