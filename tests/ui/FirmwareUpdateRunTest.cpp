#include "ui/logic/FirmwareUpdateRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "device/FirmwareFile.h"
#include "model/WidePath.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"
#include "tests/support/TempDir.h"
#include "tests/support/FirmwareImages.h"

namespace tev {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::wstring>;

constexpr wchar_t kRefresh[] = L"<controls refreshed>";

struct CountingObserver : UpdateObserver {
  void OnBlockProgress(int, int) override { ++calls; }
  int calls = 0;
};

// Status texts and control refreshes in order; the progress goes to `observer`.
class RecordingHost : public UpdateDialogHost {
 public:
  explicit RecordingHost(UpdateObserver& observer) : observer_(observer) {}
  void AppendStatus(const std::wstring& text) override { texts.push_back(text); }
  void RefreshControls(bool) override { texts.push_back(kRefresh); }
  void RenderPlot() override {}
  void OnBlockProgress(int blockIndex, int highestBlockIndex) override {
    observer_.OnBlockProgress(blockIndex, highestBlockIndex);
  }
  Texts texts;

 private:
  UpdateObserver& observer_;
};

// blocks 0..20.
FirmwareImage GoodImage() { return testing::GoodImage(1300); }

class FirmwareUpdateRun : public ::testing::Test {
 protected:
  std::wstring Write(const std::vector<std::uint8_t>& bytes, const std::wstring& name = L"fw.dat") {
    // Not dir / name: the name may hold letters the C locale cannot convert.
    const std::wstring path = dir.wstring() + L"/" + name;
    EXPECT_TRUE(WriteFirmwareFile(path, bytes));
    return path;
  }
  std::wstring Write(const FirmwareImage& fw) { return Write(EncodeFirmwareFile(fw)); }

  // The status texts and control refreshes of one run, in order, against `sim` on a fresh bus.
  Texts Run(const std::wstring& path, std::shared_ptr<SimAltimeter> plugged, Personality connectAs) {
    sim = std::move(plugged);
    device.reset();
    bus = std::make_unique<VirtualBus>();
    bus->Plug(sim);
    device = std::make_unique<AltimeterDevice>(*bus);
    device->Connect(connectAs);
    log.Clear();
    RecordingHost host(observer);
    RunFirmwareUpdate(*device, path, host);
    return host.texts;
  }
  Texts Run(const std::wstring& path, std::uint16_t hardware = 0x0120) {
    auto bootloader = MakeSim(Personality::Bootloader);
    bootloader->SetVersions(0x0140, 0x0100, hardware);
    return Run(path, bootloader, Personality::Bootloader);
  }

  LogCapture log;
  testing::TempDir tempDir;
  const fs::path dir = tempDir.Path();
  CountingObserver observer;
  std::shared_ptr<SimAltimeter> sim;
  std::unique_ptr<VirtualBus> bus;
  std::unique_ptr<AltimeterDevice> device;
};

TEST_F(FirmwareUpdateRun, AGoodFileIsProgrammedAndReportedWithItsVersion) {
  const FirmwareImage fw = GoodImage();
  EXPECT_EQ(Run(Write(fw)), (Texts{L"Updating firmware...\r\n", L"New firmware version: 1.42\r\n",
                                   L"Firmware updated successfully.\r\n", kRefresh}));
  EXPECT_EQ(sim->State().programmedImage, fw.image);
  EXPECT_EQ(observer.calls, 21);
  EXPECT_TRUE(device->IsOpen()) << "the update leaves the bootloader open for another";
}

TEST_F(FirmwareUpdateRun, EachFailureIsExplainedThenTheControlsThenTheClosingLine) {
  const Texts removed = {L"This was most likely caused by prematurely removing the device.\r\n",
                         L"Please reconnect and try again.\r\n"};
  auto with = [](std::initializer_list<std::wstring> head, const Texts& tail = {}) {
    Texts t = {L"Updating firmware...\r\n"};
    t.insert(t.end(), head);
    t.insert(t.end(), tail.begin(), tail.end());
    t.push_back(kRefresh);
    t.push_back(L"Failed to update firmware.\r\n");
    return t;
  };
  FirmwareImage otherSoftware = GoodImage(), otherBootloader = GoodImage(), otherFormat = GoodImage();
  otherSoftware.firmwareVersion = 0x0150;
  otherBootloader.bootloaderVersion = 0x0110;
  otherFormat.fileFormatVersion = 0x0101;
  const auto good = EncodeFirmwareFile(GoodImage());

  EXPECT_EQ(Run(Write(otherSoftware)),
            with({L"The firmware version is not intended for use with this software version.\r\n",
                  L"New firmware version: 1.50\r\n", L"Expected version: 1.40\r\n"}));
  EXPECT_EQ(Run(Write(otherBootloader)),
            with({L"The firmware version is not intended for use with this bootloader version.\r\n",
                  L"Your bootloader version: 1.10\r\n", L"Expected version: 1.00\r\n"}));
  EXPECT_EQ(Run(Write(otherFormat)),
            with({L"Incorect file version.\r\n", L"File version: 1.01\r\n", L"Expected version: 1.00\r\n"}));
  EXPECT_EQ(Run(Write(std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'})),
            with({L"This is not a valid firmware file.\r\n"}));
  EXPECT_EQ(Run(Write(std::vector<std::uint8_t>(good.begin(), good.begin() + 30000))),
            with({L"This is not a valid firmware file.\r\n"}))
      << "cut short";
  EXPECT_EQ(Run((dir / "missing.dat").wstring()), with({L"The file could not be opened.\r\n"}));
  EXPECT_EQ(Run(Write(GoodImage()), 0x0130),
            with({L"The firmware version is not intended for use with your hardware version.\r\n",
                  L"Your hardware version: 1.30\r\n", L"Expected version: 1.20\r\n"}));
  EXPECT_EQ(sim->State().blocksProgrammed, 0);

  auto faulty = [](SimFault fault) {
    auto s = MakeSim(Personality::Bootloader);
    s->InjectFault(fault);
    return s;
  };
  // Input report 3 is the acknowledgement of block 2 (the first is the hardware version).
  EXPECT_EQ(Run(Write(GoodImage()), faulty({SimFaultKind::WithholdReplies, 3}), Personality::Bootloader),
            with({L"There was a timeout on a read operation.\r\n"}, removed));
  EXPECT_EQ(sim->State().blocksProgrammed, 3) << "block 2 programmed, its acknowledgement lost";
  EXPECT_EQ(Run(Write(GoodImage()), faulty({SimFaultKind::ReplaceCode, 3, 0}), Personality::Bootloader),
            with({L"There was a protocol error.\r\n"}, removed));
  EXPECT_EQ(Run(Write(GoodImage()), MakeSim(Personality::Application), Personality::Application),
            with({L"The device is not in bootloader mode.\r\n"}));
}

TEST_F(FirmwareUpdateRun, NothingOpenIsSaidAtOnce) {
  const std::wstring path = Write(GoodImage());
  auto held = MakeSim(Personality::Bootloader);
  held->SetRefuseOpen(true);
  EXPECT_EQ(Run(path, held, Personality::Bootloader),
            (Texts{kRefresh, L"Altimeter not found. Make sure it is properly connected to the PC.\r\n"}));
  EXPECT_EQ(observer.calls, 0);
  EXPECT_TRUE(bus->Transfers().empty());
}

TEST_F(FirmwareUpdateRun, TheFileIsOpenedAndLoggedByItsWholeName) {
  const std::wstring path = Write(EncodeFirmwareFile(GoodImage()), L"H\u00f6henmesser \u6d4b\u8bd5.dat");
  EXPECT_EQ(Run(path).back(), kRefresh);
  EXPECT_EQ(sim->State().programmedImage, GoodImage().image);
  ASSERT_FALSE(log.Lines().empty());
  EXPECT_EQ(log.Lines().front(), "Firmware file: " + WideToUtf8(path)) << "in UTF-8, nothing lost";
}

}  // namespace
}  // namespace tev
