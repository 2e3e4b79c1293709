#include "device/FirmwareUpdate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "device/AltimeterDevice.h"
#include "device/FirmwareFile.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"
#include "tests/support/TempDir.h"

namespace tev {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Kind = VirtualBus::Transfer::Kind;

struct RecordingObserver : UpdateObserver {
  void OnBlockProgress(int b, int n) override { calls.push_back({b, n}); }
  std::vector<std::pair<int, int>> calls;
};

struct Outs {
  std::uint16_t hardware = 0, format = 0, bootloader = 0, firmware = 0;
};

// An image whose blocks all hold data, except those listed, which stay 0xFF.
FirmwareImage MakeImage(std::int32_t length, std::initializer_list<int> blankBlocks = {}) {
  FirmwareImage fw;
  fw.fileFormatVersion = 0x0100;
  fw.bootloaderVersion = 0x0100;
  fw.firmwareVersion = 0x0140;
  fw.length = length;
  for (std::size_t i = 0; i < kFirmwareImageSize; ++i) fw.image[i] = static_cast<std::uint8_t>((i * 31 + i / 64) & 0x7F);
  for (int b : blankBlocks) std::fill_n(fw.image.begin() + b * 64, 64, 0xFF);
  return fw;
}

class FirmwareUpdate : public ::testing::Test {
 protected:
  std::wstring WriteFile(const std::vector<std::uint8_t>& bytes, const char* name = "fw.dat") {
    const std::wstring path = (dir / name).wstring();
    EXPECT_TRUE(WriteFirmwareFile(path, bytes));
    return path;
  }
  // A bootloader on a fresh bus; returns the update's result.
  int Run(const std::wstring& path, std::uint16_t hardware = 0x0120, std::vector<SimFault> faults = {}) {
    sim = MakeSim(Personality::Bootloader);
    sim->SetVersions(0x0140, 0x0100, hardware);
    device.reset();  // it closes its handles on the old bus
    bus = std::make_unique<VirtualBus>();
    bus->Plug(sim);
    device = std::make_unique<AltimeterDevice>(*bus);
    EXPECT_EQ(device->Connect(Personality::Bootloader), kConnected);
    for (const auto& f : faults) sim->InjectFault(f);
    log.Clear();
    observer = {};
    outs = {};
    return device->UpdateFirmware(observer, path, outs.hardware, outs.format, outs.bootloader, outs.firmware);
  }
  // Block addresses the host sent (the second report of each block write).
  std::vector<std::uint16_t> AddressesSent() const {
    std::vector<std::uint16_t> out;
    const auto t = bus->Transfers();
    for (std::size_t k = 1; k < t.size(); ++k)
      if (t[k].kind == Kind::Write && t[k - 1].kind == Kind::Write && t[k - 1].bytes.at(1) == 2)
        out.push_back(static_cast<std::uint16_t>(t[k].bytes[1] | (t[k].bytes[2] << 8)));
    return out;
  }

  LogCapture log;
  testing::TempDir tempDir;
  const fs::path dir = tempDir.Path();
  std::shared_ptr<SimAltimeter> sim;
  std::unique_ptr<VirtualBus> bus;
  std::unique_ptr<AltimeterDevice> device;
  RecordingObserver observer;
  Outs outs;
};

TEST_F(FirmwareUpdate, VersionsOfTheFileAndTheHardware) {
  struct Case {
    const char* name;
    std::uint16_t format, bootloader, firmware, hardware;
    int result;
    Outs reported;
  } cases[] = {
      {"all current", 0x0100, 0x0100, 0x0140, 0x0120, kOk, {0x0120, 0x0100, 0x0100, 0x0140}},
      {"revisions are compatible", 0x0100, 0x0105, 0x014F, 0x0121, kOk, {0x0121, 0x0100, 0x0105, 0x014F}},
      {"file format 1.01", 0x0101, 0x0100, 0x0140, 0x0120, kUpdateWrongFileFormat, {0, 0x0101, 0, 0}},
      {"bootloader 1.10", 0x0100, 0x0110, 0x0140, 0x0120, kUpdateWrongBootloader, {0, 0x0100, 0x0110, 0}},
      {"firmware 1.50", 0x0100, 0x0100, 0x0150, 0x0120, kUpdateWrongFirmware, {0, 0x0100, 0x0100, 0x0150}},
      {"hardware 1.30", 0x0100, 0x0100, 0x0140, 0x0130, kUpdateWrongHardware, {0x0130, 0x0100, 0x0100, 0x0140}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareImage fw = MakeImage(100);
    fw.fileFormatVersion = c.format;
    fw.bootloaderVersion = c.bootloader;
    fw.firmwareVersion = c.firmware;
    EXPECT_EQ(Run(WriteFile(EncodeFirmwareFile(fw)), c.hardware), c.result);
    EXPECT_EQ(outs.hardware, c.reported.hardware);
    EXPECT_EQ(outs.format, c.reported.format);
    EXPECT_EQ(outs.bootloader, c.reported.bootloader);
    EXPECT_EQ(outs.firmware, c.reported.firmware);
    if (c.result != kOk) {
      EXPECT_TRUE(AddressesSent().empty());
    }
  }
}

TEST_F(FirmwareUpdate, LengthsDecideTheBlocks) {
  struct Case {
    std::int32_t length;
    std::initializer_list<int> blank;
    int highest;
    std::vector<std::uint16_t> addresses;
  } cases[] = {
      {100, {}, 1, {0, 64}},
      {128, {2}, 2, {0, 64}},       // block 2 lies past the length and is blank: skipped
      {128, {}, 2, {0, 64, 128}},  // ... and sent when it holds data
      {64 * 5, {1, 3}, 5, {0, 128, 256, 320}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    EXPECT_EQ(Run(WriteFile(EncodeFirmwareFile(MakeImage(c.length, c.blank)))), kOk);
    EXPECT_EQ(AddressesSent(), c.addresses);
    std::vector<std::pair<int, int>> calls;
    for (int b = 0; b <= c.highest; ++b) calls.push_back({b, c.highest});
    EXPECT_EQ(observer.calls, calls);
    const Lines lines = log.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{"Reading file.", "MaxBlockIndex: " + std::to_string(c.highest), "Connected to device.",
                     "Hardware Version: 0120"}));
    std::ostringstream last;
    last << std::hex << c.addresses.back();
    EXPECT_EQ(lines.back(), "Written Block: " + last.str());
  }
}

TEST_F(FirmwareUpdate, AWholeImageIsProgrammedAsInTheFile) {
  const FirmwareImage fw = MakeImage(65536, {5, 6, 1023});
  EXPECT_EQ(Run(WriteFile(EncodeFirmwareFile(fw))), kOk);
  ASSERT_EQ(observer.calls.size(), 1024u);  // n = 1024, but block 1024 does not exist
  EXPECT_EQ(observer.calls.back(), (std::pair<int, int>{1023, 1024}));
  EXPECT_EQ(sim->State().blocksProgrammed, 1024 - 3);
  EXPECT_EQ(sim->State().programmedImage, fw.image);
  const auto addresses = AddressesSent();
  EXPECT_EQ(addresses.back(), 1022 * 64);
  EXPECT_EQ(std::count(addresses.begin(), addresses.end(), 5 * 64), 0);
  EXPECT_EQ(log.Lines().back(), "Written Block: ff80");
}

TEST_F(FirmwareUpdate, BadFilesAreRefusedBeforeTheDeviceIsTouched) {
  const auto good = EncodeFirmwareFile(MakeImage(100));
  auto badMagic = good;
  badMagic[0] ^= 1;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int result;
  } cases[] = {
      {"one byte short of the length field", std::vector<std::uint8_t>(good.begin(), good.end() - 1), kUpdateInvalidFile},
      {"cut inside the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 19), kUpdateInvalidFile},
      {"wrong magic", badMagic, kUpdateInvalidFile},
      {"negative length", EncodeFirmwareFile(MakeImage(-64)), kUpdateInvalidFile},
      {"length past the image", EncodeFirmwareFile(MakeImage(70000)), kUpdateInvalidFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Run(WriteFile(c.bytes)), c.result);
    EXPECT_TRUE(bus->Transfers().empty());
    EXPECT_EQ(sim->State().blocksProgrammed, 0);
  }
  EXPECT_EQ(Run((dir / "missing.dat").wstring()), kUpdateCannotOpenFile);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(FirmwareUpdate, TheDeviceFailingOnTheWay) {
  const std::wstring path = WriteFile(EncodeFirmwareFile(MakeImage(64 * 4)));
  struct Case {
    const char* name;
    SimFault fault;
    int result;
    std::string last;
    int programmed;
  } cases[] = {
      {"query not taken", {SimFaultKind::WithholdAccept, 0}, kUpdateTimeout, "Failed to write.", 0},
      {"no hardware version", {SimFaultKind::WithholdReplies, 0}, kUpdateTimeout, "Failed to read.", 0},
      {"block address not taken", {SimFaultKind::WithholdAccept, 1 + 3 + 1}, kUpdateTimeout, "Failed to write.", 1},
      {"block 2 not acknowledged", {SimFaultKind::WithholdReplies, 3}, kUpdateTimeout, "Failed to read.", 3},
      {"block 1 refused", {SimFaultKind::ReplaceCode, 2, 0}, kProtocolError, "Protocol error.", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Run(path, 0x0120, {c.fault}), c.result);
    EXPECT_EQ(log.Lines().back(), c.last);
    EXPECT_EQ(sim->State().blocksProgrammed, c.programmed);
  }
}

TEST_F(FirmwareUpdate, OnlyInBootloaderMode) {
  const std::wstring path = WriteFile(EncodeFirmwareFile(MakeImage(100)));
  VirtualBus appBus;
  appBus.Plug(MakeSim());
  AltimeterDevice app{appBus};
  ASSERT_EQ(app.Connect(Personality::Application), kConnected);
  log.Clear();
  Outs o;
  EXPECT_EQ(app.UpdateFirmware(observer, path, o.hardware, o.format, o.bootloader, o.firmware), kUpdateNotBootloader);
  EXPECT_TRUE(log.Lines().empty());  // the file is not even opened
  EXPECT_TRUE(appBus.Transfers().empty());
}

}  // namespace
}  // namespace tev
