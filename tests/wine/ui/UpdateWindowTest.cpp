// The Update Firmware dialog in-process under Wine, on the in-process bus, run modally as the
// program runs it and worked from another thread: its own file dialog included.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "device/FirmwareFile.h"
#include "device/win32/DeviceChange.h"
#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "ui/dialogs/UpdateWindow.h"
#include "ui/framework/DialogClass.h"
#include "win32/Guards.h"
#include "tests/support/TempDir.h"
#include "tests/support/FirmwareImages.h"

namespace tev {
namespace {

namespace fs = std::filesystem;
using testing::AnswerProgramMessage;
using testing::CaptureWindow;
using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;
using driver::Enabled;

constexpr wchar_t kTitle[] = L"Update Firmware";
constexpr wchar_t kSuccess[] = L"Firmware updated successfully.\r\n";
constexpr wchar_t kFailed[] = L"Failed to update firmware.\r\n";

// blocks 0..20: each step of ten percent has its own block.
FirmwareImage GoodImage() { return testing::GoodImage(1300); }

int Count(const std::wstring& text, const std::wstring& line) {
  int n = 0;
  for (auto at = text.find(line); at != std::wstring::npos; at = text.find(line, at + 1)) {
    if (at == 0 || text[at - 1] == L'\n') ++n;
  }
  return n;
}

class UpdateWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }
  void SetUp() override {
    goodFile = (dir / "good.dat").wstring();
    ASSERT_TRUE(WriteFirmwareFile(goodFile, EncodeFirmwareFile(GoodImage())));
    bus.SetBeforeTransfer([this](VirtualBus::Transfer::Kind, std::uint32_t) {
      if (hold && ++transfers == holdAtTransfer) {
        held = true;
        ::WaitForSingleObject(release.Get(), 20000);
      }
    });
  }
  void TearDown() override {
    ::SetEvent(release.Get());
  }

  std::shared_ptr<SimAltimeter> PlugBootloader(std::uint16_t version = 0) {
    auto sim = MakeSim(Personality::Bootloader, version);
    bus.Plug(sim);
    return sim;
  }
  // Update... and the file dialog answered with `path` (or cancelled when empty).
  static void ChooseFile(HWND window, const std::wstring& path) {
    ::PostMessageW(window, WM_COMMAND, IDC_FIRMWARE_UPDATE, 0);
    ASSERT_TRUE(testing::AnswerFileDialog(L"Load Firmware file", path)) << "no file dialog";
  }
  // Holds the worker before the given transfer (1: the hardware query) until released.
  void HoldAt(int transfer) {
    transfers = 0;
    holdAtTransfer = transfer;
    hold = true;
  }

  LogCapture log;
  VirtualBus bus;
  AltimeterDevice device{bus};
  testing::TempDir tempDir;
  const fs::path dir = tempDir.Path();
  std::wstring goodFile;
  win32::UniqueKernelHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> hold{false}, held{false};
  std::atomic<int> transfers{0}, holdAtTransfer{0};
};

TEST_F(UpdateWindowTest, OpeningSaysWhatItFoundAndEnablesUpdateOnlyForAnOpenBootloader) {
  struct Case {
    const char* name;
    std::shared_ptr<SimAltimeter> sim;
    std::wstring status;
    bool update;
  } cases[] = {
      {"nothing", nullptr, L"Device not found.\r\n", false},
      {"application", MakeSim(Personality::Application),
       L"Device found, but is not in bootloader mode.\r\nPlease reconnect the device in bootloader mode.\r\n", false},
      {"bootloader 1.10", MakeSim(Personality::Bootloader, 0x0110),
       L"Device found in bootloader mode, but has incompatible bootloader version.\r\n"
       L"Current device bootloader version: 1.10\r\nRequired device bootloader version: 1.00\r\n",
       false},
      {"bootloader 1.00", MakeSim(Personality::Bootloader),
       L"Device connected in bootloader mode.\r\nDevice bootloader version: 1.00\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualBus own;
    if (c.sim) own.Plug(c.sim);
    AltimeterDevice altimeter(own);
    auto dialog = std::make_unique<CUpdateWindow>(altimeter);
    ASSERT_TRUE(RunModal(*dialog, kTitle, [&](HWND window) {
      EXPECT_TRUE(WaitUntil(5000, [&] { return ControlText(window, IDC_STATUS) == c.status; }))
          << "status: " << ::testing::PrintToString(ControlText(window, IDC_STATUS));
      EXPECT_EQ(Enabled(window, IDC_FIRMWARE_UPDATE), c.update);
      EXPECT_TRUE(Enabled(window, IDC_FIRMWARE_CLOSE));
      EXPECT_EQ(altimeter.IsOpen(), c.update) << "an application or a wrong bootloader is left closed";
    }));
    dialog.reset();
    EXPECT_FALSE(altimeter.IsOpen()) << "the dialog object's end closes the handles";
  }
}

TEST_F(UpdateWindowTest, AGoodUpdateProgramsTheFileStepByStepAndEnablesBothButtonsAgain) {
  auto sim = PlugBootloader();
  auto dialog = std::make_unique<CUpdateWindow>(device);
  ASSERT_TRUE(RunModal(*dialog, kTitle, [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_UPDATE); }));
    ChooseFile(window, goodFile);
    ASSERT_TRUE(WaitUntil(10000, [&] { return ControlText(window, IDC_STATUS).ends_with(kSuccess); }));
    const std::wstring status = ControlText(window, IDC_STATUS);
    for (int step = 10; step <= 100; step += 10) {
      EXPECT_EQ(Count(status, std::to_wstring(step) + L"%\r\n"), 1) << step << "%";
    }
    EXPECT_NE(status.find(L"Updating firmware...\r\n"), std::wstring::npos);
    EXPECT_NE(status.find(L"New firmware version: 1.42\r\n"), std::wstring::npos);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_UPDATE) && Enabled(window, IDC_FIRMWARE_CLOSE); }));
    const testing::Pixels shot = CaptureWindow(window);
    win32::testing::SaveScreenshot(L"update-firmware-in-process-done", shot.data, shot.width, shot.height);
  }));
  EXPECT_EQ(sim->State().programmedImage, GoodImage().image);
  const auto lines = log.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Firmware file: " + fs::path(goodFile).string()), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Canceled IO."), lines.end());
  EXPECT_TRUE(device.IsOpen()) << "still open until the dialog object ends";
  dialog.reset();
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(UpdateWindowTest, CloseAndEscapeAreRefusedAndAnArrivalWaitsWhileTheUpdateRuns) {
  auto sim = PlugBootloader();
  CUpdateWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, kTitle, [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_UPDATE); }));
    HoldAt(12);  // inside block 2
    ChooseFile(window, goodFile);
    ASSERT_TRUE(WaitUntil(10000, [&] { return held.load(); }));
    EXPECT_FALSE(Enabled(window, IDC_FIRMWARE_UPDATE));
    EXPECT_FALSE(Enabled(window, IDC_FIRMWARE_CLOSE));

    for (const auto& [how, message, key] : {std::tuple{"Close", WM_CLOSE, 0}, std::tuple{"Escape", WM_KEYDOWN, VK_ESCAPE}}) {
      SCOPED_TRACE(how);
      // Sent past the modal loop (the dialog manager would make Escape its cancel command), and
      // without waiting: the refusal is a message box on the dialog's thread.
      ::SendNotifyMessageW(window, message, key, 0);
      ASSERT_EQ(AnswerProgramMessage(IDOK),
                L"Updating firmware is a delicate process.\r\nCanceling may cause your device to fail.")
          << "no refusal";
      driver::Drain(window);  // what follows the box has been done
      EXPECT_TRUE(::IsWindowVisible(window)) << "the dialog closed under the update";
    }

    // Another device arriving does not reconnect under the update.
    const HidHandle handle = device.readHandle;
    win32::SendDeviceChange(window, true, bus.Plug(MakeForeignDevice()));
    EXPECT_EQ(device.readHandle.load(), handle);

    ::SetEvent(release.Get());
    ASSERT_TRUE(WaitUntil(10000, [&] { return Count(ControlText(window, IDC_STATUS), kSuccess) == 1; }));
    // The arrival's connect sequence runs once the worker has ended.
    EXPECT_TRUE(WaitUntil(5000, [&] {
      return Count(ControlText(window, IDC_STATUS), L"Device connected in bootloader mode.\r\n") == 2;
    }));
    EXPECT_EQ(Count(ControlText(window, IDC_STATUS), kSuccess), 1);
  }));
  EXPECT_EQ(sim->State().programmedImage, GoodImage().image) << "the update was disturbed";
}

TEST_F(UpdateWindowTest, CancellingTheFileDialogStartsNothing) {
  PlugBootloader();
  CUpdateWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, kTitle, [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_UPDATE); }));
    const std::wstring before = ControlText(window, IDC_STATUS);
    bus.ClearRecords();
    ChooseFile(window, L"");
    // Update... has returned: an update it started would have taken the buttons.
    ASSERT_TRUE(driver::Drain(window));
    EXPECT_EQ(ControlText(window, IDC_STATUS), before);
    EXPECT_TRUE(Enabled(window, IDC_FIRMWARE_UPDATE));
    EXPECT_TRUE(Enabled(window, IDC_FIRMWARE_CLOSE));
    EXPECT_TRUE(bus.Transfers().empty());
  }));
  for (const std::string& line : log.Lines()) EXPECT_NE(line.rfind("Firmware file: ", 0), 0u) << line;
}

TEST_F(UpdateWindowTest, TheBootloaderRemovedMidUpdateEndsItWithTheTimeOutLines) {
  PlugBootloader();
  CUpdateWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, kTitle, [&](HWND window) {
    ASSERT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_UPDATE); }));
    HoldAt(20);
    ChooseFile(window, goodFile);
    ASSERT_TRUE(WaitUntil(10000, [&] { return held.load(); }));
    const std::wstring path = device.devicePath;
    bus.Unplug(path);
    win32::SendDeviceChange(window, false, path);
    ::SetEvent(release.Get());
    ASSERT_TRUE(WaitUntil(10000, [&] { return ControlText(window, IDC_STATUS).ends_with(kFailed); }));
    const std::wstring status = ControlText(window, IDC_STATUS);
    EXPECT_NE(status.find(L"Device disconnected.\r\n"), std::wstring::npos);
    EXPECT_NE(status.find(L"There was a timeout on a read operation.\r\n"
                          L"This was most likely caused by prematurely removing the device.\r\n"
                          L"Please reconnect and try again.\r\n"),
              std::wstring::npos);
    // The buttons come back once the worker has ended: Close only, the bootloader being gone.
    EXPECT_TRUE(WaitUntil(5000, [&] { return Enabled(window, IDC_FIRMWARE_CLOSE); }));
    EXPECT_FALSE(Enabled(window, IDC_FIRMWARE_UPDATE));
  }));
}

}  // namespace
}  // namespace tev
