// Tools > Update Firmware driven from outside: TevUsbDemo.exe against altimeter-sim.exe child
// processes over the sim link, firmware files written by the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "device/FirmwareFile.h"
#include "resources/ResourceIds.h"
#include "tests/wine/shell/DemoTest.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/shell/WindowDriver.h"
#include "tests/support/FirmwareImages.h"

namespace tev::driver {
namespace {

using Lines = std::vector<std::wstring>;

constexpr wchar_t kTitle[] = L"Update Firmware";
constexpr wchar_t kFileDialog[] = L"Load Firmware file";
constexpr wchar_t kSuccess[] = L"Firmware updated successfully.";
constexpr wchar_t kFailed[] = L"Failed to update firmware.";
constexpr wchar_t kDelicate[] = L"Updating firmware is a delicate process.\r\nCanceling may cause your device to fail.";

// blocks 0 to 93, none of them blank.
FirmwareImage GoodImage() { return testing::GoodImage(6000); }

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The status lines of the last update in the box: those after its "Updating firmware...".
Lines LastUpdate(const Dialog& dialog) {
  const Lines all = dialog.StatusLines();
  const auto start = std::find(all.rbegin(), all.rend(), L"Updating firmware...");
  return start == all.rend() ? Lines{} : Lines(start.base(), all.end());
}

Lines Percents(const Lines& lines) {
  Lines out;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(out), [](const std::wstring& l) { return l.ends_with(L"%"); });
  return out;
}

Lines Steps(int from, int to) {
  Lines out;
  for (int s = from; s <= to; s += 10) out.push_back(std::to_wstring(s) + L"%");
  return out;
}

class UpdateDialogTest : public DemoTest {
 protected:
  std::wstring WriteFirmware(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = WorkPath(L"-" + name + L".dat");
    EXPECT_TRUE(WriteFirmwareFile(path, bytes));
    return path;
  }
  std::wstring GoodFile() { return WriteFirmware(L"good", EncodeFirmwareFile(GoodImage())); }

  SimulatedAltimeter& StartBootloader(const std::wstring& more) {
    SimOptions options;
    options.personality = L"bootloader";
    options.flights = L"none";
    options.more = more;
    SimulatedAltimeter& sim = StartSim(options);
    EXPECT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
    return sim;
  }
  Dialog OpenConnected() {
    Dialog dialog = Dialog::OpenFromMenu(main_, IDM_TOOLS_FIRMWARE, kTitle, kTimeoutMs);
    EXPECT_TRUE(dialog) << "no Update Firmware dialog";
    if (dialog) {
      EXPECT_TRUE(dialog.WaitForStatusLine(L"Device connected in bootloader mode.", kTimeoutMs));
    }
    return dialog;
  }
  // Closes the dialog once the update's worker has ended. The last status line comes a moment
  // before the worker returns, and a close in that moment is rightly refused with a warning:
  // answer it and try again.
  ::testing::AssertionResult CloseAfterUpdate(const Dialog& dialog) {
    for (int attempt = 0; attempt < 20; ++attempt) {
      ::PostMessageW(dialog.Window(), WM_CLOSE, 0, 0);
      const MessageBoxSeen refusal = WaitForMessageBox(demo_.Id(), L"TEV USB 1.40", 500);
      if (!refusal.window) return dialog.WaitUntilGone(kTimeoutMs);
      PressButton(refusal.window, IDOK);
      WaitUntil(kTimeoutMs, [&] { return !::IsWindow(refusal.window); });
    }
    return ::testing::AssertionFailure() << "the update never ended";
  }
  // Update... with that file chosen; true once the file dialog has taken it.
  ::testing::AssertionResult StartUpdate(const Dialog& dialog, const std::wstring& file) {
    if (auto clicked = dialog.Click(IDC_FIRMWARE_UPDATE); !clicked) return clicked;
    if (!ChooseFile(demo_.Id(), kFileDialog, file, kTimeoutMs)) return ::testing::AssertionFailure() << "no file dialog";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(UpdateDialogTest, WithoutACompatibleBootloaderOnlyCloseIsEnabled) {
  Dialog nothing = Dialog::OpenFromMenu(main_, IDM_TOOLS_FIRMWARE, kTitle, kTimeoutMs);
  ASSERT_TRUE(nothing);
  ASSERT_TRUE(nothing.WaitForStatusLine(L"Device not found.", kTimeoutMs));
  EXPECT_FALSE(nothing.Enabled(IDC_FIRMWARE_UPDATE));
  EXPECT_TRUE(nothing.Enabled(IDC_FIRMWARE_CLOSE));
  ShotOf(nothing.Window(), L"not-found");
  ASSERT_TRUE(nothing.Close(kTimeoutMs));

  SimOptions options;
  options.more = L"--bootloader-version 0x0110";
  SimulatedAltimeter& sim = StartSim(options);
  ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
  Dialog dialog = Dialog::OpenFromMenu(main_, IDM_TOOLS_FIRMWARE, kTitle, kTimeoutMs);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog.WaitForStatusLine(L"Please reconnect the device in bootloader mode.", kTimeoutMs));
  EXPECT_EQ(dialog.StatusLines(),
            (Lines{L"Device found, but is not in bootloader mode.", L"Please reconnect the device in bootloader mode."}));
  // Update... is enabled exactly while the device object is open: the application was closed.
  EXPECT_FALSE(dialog.Enabled(IDC_FIRMWARE_UPDATE));
  EXPECT_TRUE(dialog.Enabled(IDC_FIRMWARE_CLOSE));

  // The same altimeter restarting in a bootloader of another version, while the dialog is open.
  sim.Switch(L"bootloader");
  ASSERT_TRUE(sim.WaitUntilAttached(kTimeoutMs));
  ASSERT_TRUE(dialog.WaitForStatusLine(L"Required device bootloader version: 1.00", kTimeoutMs));
  const Lines lines = dialog.StatusLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
            (Lines{L"Device found in bootloader mode, but has incompatible bootloader version.",
                   L"Current device bootloader version: 1.10", L"Required device bootloader version: 1.00"}));
  EXPECT_FALSE(dialog.Enabled(IDC_FIRMWARE_UPDATE));
  ShotOf(dialog.Window(), L"incompatible-bootloader");
  ASSERT_TRUE(CloseAfterUpdate(dialog));
}

// lastProgressStep lives as long as the program and is never reset, so the order of these
// updates is what the test is about: the first update of the process shows no 0%, the second
// shows it because the first ended at 100%, the third because the second stopped at 30%. Each
// demo is a new process, so this test's first update is its process's first.
TEST_F(UpdateDialogTest, UpdatesProgramTheFileAndShowEachStepOnceAndZeroOnlyAfterAnotherStep) {
  const std::wstring programmed = WorkPath(L"-programmed.bin");
  // Input report 95 + 1 + 30 is the acknowledgement of the second update's block 30 (the first
  // update takes 95: the hardware version and 94 blocks); refused, it stops that update at 32%.
  SimulatedAltimeter& sim = StartBootloader(L"--replace-code 126:0 --programmed-image \"" + programmed + L"\"");
  const std::wstring file = GoodFile();
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog.StatusLines(), (Lines{L"Device connected in bootloader mode.", L"Device bootloader version: 1.00"}));
  EXPECT_TRUE(dialog.Enabled(IDC_FIRMWARE_UPDATE));

  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(kSuccess, 60000));
  Lines first = Steps(10, 100);
  first.insert(first.end(), {L"New firmware version: 1.42", kSuccess});
  EXPECT_EQ(LastUpdate(dialog), first) << "the first update of the process shows no 0%";
  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog.Enabled(IDC_FIRMWARE_UPDATE) && dialog.Enabled(IDC_FIRMWARE_CLOSE); }));
  ShotOf(dialog.Window(), L"updated");

  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(kFailed, 60000));
  Lines second = Steps(0, 30);
  second.insert(second.end(), {L"There was a protocol error.", L"This was most likely caused by prematurely removing the device.",
                               L"Please reconnect and try again.", kFailed});
  EXPECT_EQ(LastUpdate(dialog), second);

  ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog.Enabled(IDC_FIRMWARE_UPDATE); }));
  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(kSuccess, 60000, 2));
  EXPECT_EQ(Percents(LastUpdate(dialog)), Steps(0, 100)) << "the update before stopped at 30%";
  ASSERT_TRUE(CloseAfterUpdate(dialog));
  EXPECT_TRUE(demo_.WaitForLine("Canceled IO.", kTimeoutMs));
  EXPECT_TRUE(demo_.WaitForLine("Firmware file: " + std::filesystem::path(file).string(), kTimeoutMs));

  ASSERT_TRUE(sim.Quit(kTimeoutMs));
  EXPECT_EQ(ReadBytes(programmed), GoodImage().image) << "the programmed image differs from the file's";
}

TEST_F(UpdateDialogTest, BadFilesAreRefusedWithTheirReasons) {
  FirmwareImage otherSoftware = GoodImage(), otherBootloader = GoodImage(), otherFormat = GoodImage();
  otherSoftware.firmwareVersion = 0x0150;
  otherBootloader.bootloaderVersion = 0x0110;
  otherFormat.fileFormatVersion = 0x0101;
  std::vector<std::uint8_t> notFirmware = EncodeFirmwareFile(GoodImage());
  notFirmware[0] ^= 0xFF;
  std::vector<std::uint8_t> cut = EncodeFirmwareFile(GoodImage());
  cut.resize(30000);
  FirmwareImage tooLong = GoodImage();
  tooLong.length = 70000;  // past the 64 KiB image
  const struct Case {
    const wchar_t* name;
    std::vector<std::uint8_t> bytes;
    Lines lines;
  } cases[] = {
      {L"other-software", EncodeFirmwareFile(otherSoftware),
       {L"The firmware version is not intended for use with this software version.", L"New firmware version: 1.50",
        L"Expected version: 1.40"}},
      {L"other-bootloader", EncodeFirmwareFile(otherBootloader),
       {L"The firmware version is not intended for use with this bootloader version.", L"Your bootloader version: 1.10",
        L"Expected version: 1.00"}},
      {L"bad-format", EncodeFirmwareFile(otherFormat),
       {L"Incorect file version.", L"File version: 1.01", L"Expected version: 1.00"}},
      {L"not-firmware", notFirmware, {L"This is not a valid firmware file."}},
      {L"cut-short", cut, {L"This is not a valid firmware file."}},
      {L"too-long", EncodeFirmwareFile(tooLong), {L"This is not a valid firmware file."}},
  };
  SimulatedAltimeter& sim = StartBootloader(L"");
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  int failures = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::filesystem::path(c.name).string());
    ASSERT_TRUE(WaitUntil(kTimeoutMs, [&] { return dialog.Enabled(IDC_FIRMWARE_UPDATE); }));
    ASSERT_TRUE(StartUpdate(dialog, WriteFirmware(c.name, c.bytes)));
    ASSERT_TRUE(dialog.WaitForStatusLine(kFailed, kTimeoutMs, ++failures));
    Lines expected = c.lines;
    expected.push_back(kFailed);
    EXPECT_EQ(LastUpdate(dialog), expected);
  }
  ShotOf(dialog.Window(), L"bad-files");
  ASSERT_TRUE(CloseAfterUpdate(dialog));
  (void)sim;
}

TEST_F(UpdateDialogTest, ABoardOfAnotherHardwareVersionIsRefused) {
  StartBootloader(L"--hardware-version 0x0130");
  const std::wstring file = GoodFile();
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(kFailed, kTimeoutMs));
  EXPECT_EQ(LastUpdate(dialog), (Lines{L"The firmware version is not intended for use with your hardware version.",
                                       L"Your hardware version: 1.30", L"Expected version: 1.20", kFailed}));
  ASSERT_TRUE(CloseAfterUpdate(dialog));
}

TEST_F(UpdateDialogTest, CloseAndEscapeAreRefusedWhileTheUpdateRuns) {
  StartBootloader(L"--slow-bootloader 100");  // about ten seconds for the 94 blocks
  const std::wstring file = GoodFile();
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(L"10%", kTimeoutMs));
  EXPECT_FALSE(dialog.Enabled(IDC_FIRMWARE_UPDATE));
  EXPECT_FALSE(dialog.Enabled(IDC_FIRMWARE_CLOSE));

  // The close box.
  ::PostMessageW(dialog.Window(), WM_CLOSE, 0, 0);
  const MessageBoxSeen refusal = ExpectMessageBox(kDelicate);
  ShotOf(refusal.window, L"refused");
  Answer(refusal, IDOK);
  Drain(dialog.Window());  // the close's handler has gone on past the box
  EXPECT_TRUE(dialog) << "Close ended the dialog during the update";

  // Escape, sent past the modal loop to the dialog itself. The send waits for the refusal's box,
  // so it is made from another thread while this one answers the box.
  std::thread escape([&] { (void)dialog.SendKey(VK_ESCAPE); });
  const MessageBoxSeen again = ExpectMessageBox(kDelicate);
  Answer(again, IDOK);
  escape.join();
  EXPECT_TRUE(dialog) << "Escape ended the dialog during the update";

  ASSERT_TRUE(dialog.WaitForStatusLine(kSuccess, 60000)) << "the update did not run to its end";
  EXPECT_EQ(dialog.CountStatusLines(kFailed), 0);
  ASSERT_TRUE(CloseAfterUpdate(dialog));
}

TEST_F(UpdateDialogTest, CancellingTheFileDialogStartsNothing) {
  StartBootloader(L"");
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  const Lines before = dialog.StatusLines();
  ASSERT_TRUE(dialog.Click(IDC_FIRMWARE_UPDATE));
  ASSERT_TRUE(CancelFileDialog(demo_.Id(), kFileDialog, kTimeoutMs));
  // Update... has returned: an update it started would have taken the buttons.
  ASSERT_TRUE(Drain(dialog.Window()));
  EXPECT_EQ(dialog.StatusLines(), before);
  EXPECT_TRUE(dialog.Enabled(IDC_FIRMWARE_UPDATE));
  EXPECT_TRUE(dialog.Enabled(IDC_FIRMWARE_CLOSE));
  EXPECT_EQ(demo_.CountLinesContaining("Firmware file: "), 0);
  ASSERT_TRUE(CloseAfterUpdate(dialog));
}

TEST_F(UpdateDialogTest, TheBootloaderUnpluggedMidUpdateEndsItWithTheTimeOutOrProtocolErrorLines) {
  SimulatedAltimeter& sim = StartBootloader(L"--slow-bootloader 50");
  const std::wstring file = GoodFile();
  Dialog dialog = OpenConnected();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(StartUpdate(dialog, file));
  ASSERT_TRUE(dialog.WaitForStatusLine(L"20%", kTimeoutMs));
  sim.Unplug();
  ASSERT_TRUE(dialog.WaitForStatusLine(kFailed, 20000));
  // The removal is told by the dialog's thread while the worker reports: anywhere among its lines,
  // after the worker's last one too.
  EXPECT_TRUE(dialog.WaitForStatusLine(L"Device disconnected.", kTimeoutMs));
  Lines lines = LastUpdate(dialog);
  EXPECT_EQ(std::erase(lines, L"Device disconnected."), 1u);
  ASSERT_GE(lines.size(), 4u);
  const Lines tail(lines.end() - 4, lines.end());
  EXPECT_TRUE(tail[0] == L"There was a timeout on a read operation." || tail[0] == L"There was a protocol error.")
      << std::filesystem::path(tail[0]).string();
  EXPECT_EQ(Lines(tail.begin() + 1, tail.end()),
            (Lines{L"This was most likely caused by prematurely removing the device.", L"Please reconnect and try again.",
                   kFailed}));
  EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return !dialog.Enabled(IDC_FIRMWARE_UPDATE); }))
      << "Update... stays enabled for a device that has gone";
  EXPECT_TRUE(dialog.Enabled(IDC_FIRMWARE_CLOSE));
  ShotOf(dialog.Window(), L"unplugged");
  ASSERT_TRUE(CloseAfterUpdate(dialog));
}

}  // namespace
}  // namespace tev::driver
