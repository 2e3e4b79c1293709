// Tools > Capture Data in-process under Wine, against simulated altimeters on the virtual bus:
// run modally as the program runs it and worked from another thread as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "device/win32/DeviceChange.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "resources/ResourceIds.h"
#include "sim/VirtualBus.h"
#include "tests/device/FlightSims.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"
#include "tests/wine/plot/TestWindow.h"
#include "tests/wine/shell/DialogDriver.h"
#include "tests/wine/ui/ModalDialog.h"
#include "tests/wine/ui/ProgramMessageBox.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/framework/DialogClass.h"
#include "win32/Guards.h"

namespace tev {
namespace {

using testing::AnswerFileDialog;
using testing::AnswerProgramMessage;
using testing::CaptureWindow;
using testing::ControlRect;
using testing::ControlText;
using testing::RunModal;
using testing::WaitUntil;
using driver::Enabled;
using driver::Click;

constexpr DWORD kWaitMs = 10000;
constexpr std::uint32_t kBlueA = 0x4020FF, kBlueB = 0x4060DF, kRed = 0xFF0000, kBlack = 0x000000;

// Packets as bytes, to compare lists.
std::vector<std::array<std::uint8_t, 64>> Bytes(const PacketList& packets) {
  std::vector<std::array<std::uint8_t, 64>> out;
  for (const FlightPacket& p : packets) out.push_back(p.bytes);
  return out;
}

void Check(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0); }

bool HasLine(const std::wstring& status, const std::wstring& line) {
  return status.find(line + L"\r\n") != std::wstring::npos;
}

// The pixels of the icon's colour bitmap, to tell two icons apart.
std::vector<std::uint32_t> IconPixels(HICON icon) {
  ICONINFO info = {};
  if (!icon || !::GetIconInfo(icon, &info)) return {};
  win32::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm = {};
  ::GetObjectW(color.Get(), sizeof bm, &bm);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
  win32::WindowDc screen(nullptr);
  ::GetDIBits(screen.Dc(), color.Get(), 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
  return pixels;
}

// Which of the two connection icons the dialog shows: 109, 110, or 0 for neither.
int ShownIcon(HWND dialog) {
  const auto shown = IconPixels(reinterpret_cast<HICON>(
      ::SendMessageW(::GetDlgItem(dialog, IDC_CAPTURE_ICON), STM_GETIMAGE, IMAGE_ICON, 0)));
  for (int id : {IDI_NOT_CONNECTED, IDI_CONNECTED}) {
    const win32::UniqueIcon icon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 48, 48, 0)));
    const auto pixels = IconPixels(icon.Get());
    if (!shown.empty() && shown == pixels) return id;
  }
  return 0;
}

// The strip's columns as painted: the colour at the middle of each packet's block. The picture is
// two pixels wider than the strip, so the last column hardly shows (under the strip's frame): it
// is left out.
std::vector<std::uint32_t> StripOnScreen(HWND dialog) {
  const testing::Pixels shot = CaptureWindow(dialog);
  HWND strip = ::GetDlgItem(dialog, IDC_CAPTURE_STRIP);
  RECT inWindow = {}, outer = {}, client = {};
  ::GetWindowRect(strip, &inWindow);
  ::GetWindowRect(dialog, &outer);
  ::GetClientRect(strip, &client);
  POINT origin{0, 0};
  ::ClientToScreen(strip, &origin);
  std::vector<std::uint32_t> columns;
  for (int c = 0; c < 127; ++c) {
    const int x = origin.x - outer.left + static_cast<int>((c + 0.5) * (client.right + 2) / 128);
    const int y = origin.y - outer.top + client.bottom / 2;
    columns.push_back(shot.At(x, y));
  }
  return columns;
}

// Which columns the strip shows otherwise than expected, as "column: shown/expected" (hex), once
// it has had a few seconds to repaint.
std::string StripDifferences(HWND dialog, const std::vector<std::uint32_t>& expected) {
  std::vector<std::uint32_t> shown;
  WaitUntil(3000, [&] {
    shown = StripOnScreen(dialog);
    return std::equal(shown.begin(), shown.end(), expected.begin());
  });
  std::string out;
  char part[48];
  for (std::size_t c = 0; c < shown.size() && c < expected.size(); ++c) {
    if (shown[c] == expected[c]) continue;
    std::snprintf(part, sizeof part, "%zu: %06x/%06x ", c, shown[c], expected[c]);
    out += part;
  }
  return out;
}

// A click on the strip in the middle of a packet's column.
void ClickStrip(HWND dialog, int column) {
  HWND strip = ::GetDlgItem(dialog, IDC_CAPTURE_STRIP);
  RECT client = {};
  ::GetClientRect(strip, &client);
  const int x = static_cast<int>(column * (client.right + 2) / 128.0);
  ::SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, client.bottom / 2));
  ::SendMessageW(strip, WM_LBUTTONUP, 0, MAKELPARAM(x, client.bottom / 2));
}

void SaveShot(HWND window, const wchar_t* name) {
  const testing::Pixels shot = CaptureWindow(window);
  win32::testing::SaveScreenshot(name, shot.data, shot.width, shot.height);
}

// Holds the read worker inside the download, a few words into a packet, until released.
class ReadGate {
 public:
  ReadGate(VirtualBus& bus, AltimeterDevice& device) : bus_(bus), device_(device) {}
  ~ReadGate() {
    Release();
    bus_.SetBeforeTransfer(nullptr);
  }
  // Holds the sixth read once `stored` packets are in the list; `also` runs there first, on
  // the worker.
  void HoldIn(std::size_t stored, std::function<void()> also = nullptr) {
    also_ = std::move(also);
    bus_.SetBeforeTransfer([this, stored](VirtualBus::Transfer::Kind kind, std::uint32_t) {
      // The worker alone changes the list meanwhile, and this runs on it.
      if (kind != VirtualBus::Transfer::Kind::Read || device_.packets.size() != stored || ++reads_ != 6) return;
      if (also_) also_();
      held_ = true;
      ::WaitForSingleObject(release_.Get(), 20000);
    });
  }
  bool WaitHeld() { return WaitUntil(kWaitMs, [&] { return held_.load(); }); }
  void Release() { ::SetEvent(release_.Get()); }

 private:
  VirtualBus& bus_;
  AltimeterDevice& device_;
  std::function<void()> also_;
  std::atomic<int> reads_{0};
  std::atomic<bool> held_{false};
  win32::UniqueKernelHandle release_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

class CaptureDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterDialogClass()); }

  // Plugs the altimeter in before the dialog opens.
  void PlugIn() { path = bus.Plug(sim); }
  int Count(const std::string& line) const {
    const auto lines = log.Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }
  // Opens the dialog and runs the script once the altimeter is connected.
  void WithConnectedDialog(CCaptureWindow& dialog, const std::function<void(HWND)>& script) {
    ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
      ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return HasLine(dialog.StatusTextNow(), L"Device Connected."); }));
      script(window);
    }));
  }
  // Read Data, until the download's last line.
  void ReadAll(CCaptureWindow& dialog, HWND window) {
    const std::wstring done = L"Packets Read: " + std::to_wstring(memory.size()) + L"\r\n";
    const std::size_t before = Occurrences(dialog.StatusTextNow(), done);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_READ));
    ASSERT_TRUE(WaitUntil(20000, [&] { return Occurrences(dialog.StatusTextNow(), done) > before; }))
        << "status: " << ::testing::PrintToString(dialog.StatusTextNow());
    // The worker enables Save All last.
    ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return Enabled(window, IDC_CAPTURE_SAVE_ALL) == !memory.empty(); }));
  }
  static std::size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
  // The packets of one set of the altimeter's memory.
  PacketList SetPackets(int set) const {
    const int start = FindSetStart(memory, set);
    return PacketList(memory.begin() + start, memory.begin() + start + CountSetPackets(memory, set));
  }

  LogCapture log;
  PacketList memory = SampleMemory();  // three flights
  std::shared_ptr<SimAltimeter> sim = MakeFlightSim(memory);
  VirtualBus bus;
  AltimeterDevice device{bus};
  std::wstring path;
};

TEST_F(CaptureDialog, WithoutAnAltimeterItSaysSoAndAnArrivalConnectsAndEnablesReadData) {
  CCaptureWindow dialog(device);
  ASSERT_TRUE(RunModal(dialog, L"Capture Data", [&](HWND window) {
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return ControlText(window, IDC_STATUS) == L"Device not found.\r\n"; }));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return ShownIcon(window) == IDI_NOT_CONNECTED; }));
    for (int id : {IDC_CAPTURE_READ, IDC_CAPTURE_CLEAR, IDC_CAPTURE_SAVE_SELECTED, IDC_CAPTURE_SAVE_ALL,
                   IDC_CAPTURE_SELECT_CLOSE}) {
      EXPECT_FALSE(Enabled(window, id)) << "control " << id;
    }
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_LIVE_UPDATE));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(window, IDC_CAPTURE_LIVE_UPDATE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(window, IDC_CAPTURE_CSV), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    PlugIn();
    win32::SendDeviceChange(window, true, path);
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] {
      return ControlText(window, IDC_STATUS) ==
             L"Device not found.\r\nDevice Connected.\r\nCurrent device firmware version: 1.40\r\n";
    })) << ::testing::PrintToString(ControlText(window, IDC_STATUS));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return ShownIcon(window) == IDI_CONNECTED; }));
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_READ));
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_CLEAR));
    EXPECT_FALSE(Enabled(window, IDC_CAPTURE_SAVE_ALL)) << "nothing read yet";
    SaveShot(window, L"capture-before-download");
  }));
}

TEST_F(CaptureDialog, ReadDataFillsTheStripInAlternatingRunsAndAClickPicksASetToHandBack) {
  PlugIn();
  const int sets = CountSets(memory);
  ASSERT_EQ(sets, 3);
  // The colour each column should show while `picked` is the pick.
  const auto expected = [&](int picked) {
    std::vector<std::uint32_t> columns(128, kBlack);
    for (int set = 0; set < sets; ++set) {
      for (int i = 0; i < CountSetPackets(memory, set); ++i) {
        columns[static_cast<std::size_t>(FindSetStart(memory, set) + i)] =
            set == picked ? kRed : (set % 2 == 0 ? kBlueA : kBlueB);
      }
    }
    return columns;
  };

  auto dialog = std::make_unique<CCaptureWindow>(device);
  EXPECT_EQ(dialog->SelectedSet(), 0) << "nothing on display: the first flight";
  WithConnectedDialog(*dialog, [&](HWND window) {
    ReadAll(*dialog, window);
    const std::wstring status = dialog->StatusTextNow();
    for (const wchar_t* line : {L"Attempting to connect to device.", L"Altimeter found! Reading settings...",
                                L"Settings read successfully.", L"Reading data...", L"Packet Read: 0",
                                L"Data read successfully."}) {
      EXPECT_TRUE(HasLine(status, line)) << ::testing::PrintToString(std::wstring(line));
    }
    EXPECT_EQ(Count("Packets read: " + std::to_string(memory.size())), 1);
    EXPECT_EQ(StripDifferences(window, expected(0)), "") << "the first flight picked";
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SAVE_ALL));
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SELECT_CLOSE));
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SAVE_SELECTED)) << "the first flight picked";
    SaveShot(window, L"capture-after-download");

    ClickStrip(window, FindSetStart(memory, 1) + 1);
    EXPECT_EQ(dialog->SelectedSet(), 1);
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SAVE_SELECTED));
    EXPECT_EQ(StripDifferences(window, expected(1)), "");
    SaveShot(window, L"capture-set-picked");

    ClickStrip(window, static_cast<int>(memory.size()) + 3);
    EXPECT_EQ(dialog->SelectedSet(), 1) << "a click right of the last packet keeps the pick";

    // A new download keeps the pick.
    ReadAll(*dialog, window);
    EXPECT_EQ(StripDifferences(window, expected(1)), "");
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SAVE_SELECTED));

    ASSERT_TRUE(Click(window, IDC_CAPTURE_SELECT_CLOSE));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return !::IsWindow(window); }));
  });
  EXPECT_EQ(dialog->SelectedSet(), 1);
  EXPECT_EQ(Bytes(device.packets), Bytes(memory));
  dialog.reset();
  EXPECT_FALSE(device.IsOpen()) << "the dialog left the altimeter open";
}

TEST_F(CaptureDialog, SaveSelectedWritesTheFlightUnderTheDataExtensionAndItsCsvBeside) {
  PlugIn();
  testing::TempDir dir;
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    ReadAll(dialog, window);
    ClickStrip(window, FindSetStart(memory, 1));
    Check(window, IDC_CAPTURE_CSV);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_SAVE_SELECTED));
    ASSERT_TRUE(AnswerFileDialog(L"Save data set 2", dir.File(L"flight")));
    EXPECT_EQ(AnswerProgramMessage(IDOK), L"Data set/s saved succesfully.");
  });

  PacketList saved;
  DeviceSettings settings;
  ASSERT_TRUE(LoadDataSetFile(dir.File(L"flight.tev"), saved, settings)) << "no flight.tev";
  EXPECT_EQ(Bytes(saved), Bytes(SetPackets(1)));
  EXPECT_EQ(settings.image, SettingsImage(sim->State().settingsBlock));
  DataSet scratch;
  ASSERT_TRUE(ExportCsv(saved, settings, scratch, 0, dir.File(L"expected.csv")));
  EXPECT_EQ(testing::ReadAll(dir.File(L"flight.csv")), testing::ReadAll(dir.File(L"expected.csv")));
}

TEST_F(CaptureDialog, AFlightFromAnAltimeterWhoseSettingsFailTheirChecksumOpensAgain) {
  sim->State().settingsBlock[15] ^= 0x5A;  // a damaged settings block
  PlugIn();
  testing::TempDir dir;
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    ReadAll(dialog, window);
    ClickStrip(window, 0);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_SAVE_SELECTED));
    ASSERT_TRUE(AnswerFileDialog(L"Save data set 1", dir.File(L"damaged.tev")));
    EXPECT_EQ(AnswerProgramMessage(IDOK), L"Data set/s saved succesfully.");
  });
  const std::string bytes = testing::ReadAll(dir.File(L"damaged.tev"));
  ASSERT_GE(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(bytes.size() - 16), std::string(sim->State().settingsBlock.begin(), sim->State().settingsBlock.end()))
      << "the settings record is stored as read";
  PacketList saved;
  DeviceSettings settings;
  ASSERT_TRUE(LoadDataSetFile(dir.File(L"damaged.tev"), saved, settings)) << "the flight is lost to the program";
  EXPECT_EQ(Bytes(saved), Bytes(SetPackets(0)));
}

TEST_F(CaptureDialog, CancellingTheSecondSaveAllDialogKeepsTheFirstFileAndSaysNothing) {
  PlugIn();
  testing::TempDir dir;
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    ReadAll(dialog, window);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_SAVE_ALL));
    ASSERT_TRUE(AnswerFileDialog(L"Save data set 1", dir.File(L"first.tev")));
    ASSERT_TRUE(AnswerFileDialog(L"Save data set 2", L""));
    // Save All has returned, or waits in what it opened next.
    ASSERT_TRUE(driver::Drain(window));
    EXPECT_EQ(AnswerProgramMessage(IDOK, 0), L"") << "a message after a cancelled save";
    EXPECT_EQ(::FindWindowW(L"#32770", L"Save data set 3"), nullptr);
    EXPECT_EQ(driver::AnyDialogOf(::GetCurrentProcessId()), nullptr) << "a box under another title";
  });
  EXPECT_EQ(testing::CountEntries(dir.Path()), 1u);
  PacketList saved;
  DeviceSettings settings;
  ASSERT_TRUE(LoadDataSetFile(dir.File(L"first.tev"), saved, settings));
  EXPECT_EQ(Bytes(saved), Bytes(SetPackets(0)));
}

TEST_F(CaptureDialog, ReadDataClickedTheMomentItComesBackStartsTheNextDownload) {
  PlugIn();
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    for (int round = 1; round <= 4; ++round) {
      ASSERT_TRUE(Click(window, IDC_CAPTURE_READ));
      ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return !Enabled(window, IDC_CAPTURE_READ); }));
      // As fast as a hand could be, while the worker gives the other buttons back.
      const DWORD start = ::GetTickCount();
      while (!Enabled(window, IDC_CAPTURE_READ) && ::GetTickCount() - start < 20000) ::Sleep(0);
      DWORD_PTR answer = 0;
      ASSERT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
          << "the dialog hangs after round " << round;
    }
    ASSERT_TRUE(WaitUntil(20000, [&] { return Occurrences(dialog.StatusTextNow(), L"Packets Read: ") >= 4; }));
  });
}

TEST_F(CaptureDialog, ClearDeviceAsksFirstAndThenEmptiesTheAltimeter) {
  PlugIn();
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    ReadAll(dialog, window);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_CLEAR));
    EXPECT_EQ(AnswerProgramMessage(IDNO), L"Are you sure?");
    EXPECT_FALSE(HasLine(dialog.StatusTextNow(), L"Data cleared successfully."));
    EXPECT_NE(sim->State().flightMemory[0], 0xFF) << "cleared although the answer was No";

    ASSERT_TRUE(Click(window, IDC_CAPTURE_CLEAR));
    EXPECT_EQ(AnswerProgramMessage(IDYES), L"Are you sure?");
    ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return HasLine(dialog.StatusTextNow(), L"Data cleared successfully."); }));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return !Enabled(window, IDC_CAPTURE_SAVE_ALL); }));
    EXPECT_EQ(StripDifferences(window, std::vector<std::uint32_t>(128, kBlack)), "");

    ASSERT_TRUE(Click(window, IDC_CAPTURE_READ));
    EXPECT_TRUE(WaitUntil(20000, [&] { return HasLine(dialog.StatusTextNow(), L"Packets Read: 0"); }));
  });
  EXPECT_TRUE(device.packets.empty());
}

TEST_F(CaptureDialog, ClosingDuringALiveDownloadCancelsItAndLetsThePartialDataGo) {
  PlugIn();
  ReadGate gate(bus, device);
  device.currentSet.adc = {800, 801};
  device.currentSet.setNumber = 1;  // on display: a pick other than the first column's
  CCaptureWindow dialog(device);
  BYTE alpha = 0;
  WithConnectedDialog(dialog, [&](HWND window) {
    Check(window, IDC_CAPTURE_LIVE_UPDATE);
    gate.HoldIn(3);
    ASSERT_TRUE(Click(window, IDC_CAPTURE_READ));
    ASSERT_TRUE(gate.WaitHeld());
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) << "not see-through while reading";
    EXPECT_EQ(::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) ? alpha : 0, 64);
    for (int id : {IDC_CAPTURE_READ, IDC_CAPTURE_CLEAR, IDC_CAPTURE_SAVE_ALL, IDC_CAPTURE_SELECT_CLOSE,
                   IDC_CAPTURE_LIVE_UPDATE}) {
      EXPECT_FALSE(Enabled(window, id)) << "control " << id << " usable while reading";
    }
    ClickStrip(window, 0);
    EXPECT_EQ(dialog.SelectedSet(), 1) << "a pick while the packets change";

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return Count("reposting close message...") >= 1; }));
    EXPECT_TRUE(::IsWindow(window));
    gate.Release();
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return !::IsWindow(window); })) << "did not close once cancelled";
  });
  EXPECT_EQ(Count("Canceled IO."), Count("Waiting for thread to close..."));
  EXPECT_EQ(Count("Thread has exited."), 1);
  EXPECT_TRUE(device.packets.empty()) << "part of a cancelled download handed back";
  EXPECT_FALSE(testing::ProgramMessageShown()) << "an error box";
}

// Unplugs the altimeter while the read worker is held in the download.
void UnplugDuringDownload(VirtualBus& bus, ReadGate& gate, HWND window, const std::wstring& path,
                          std::size_t stored) {
  gate.HoldIn(stored, [&bus, window, path] {
    bus.Unplug(path);
    win32::SendDeviceChange(window, false, path);
  });
  ASSERT_TRUE(Click(window, IDC_CAPTURE_READ));
  ASSERT_TRUE(gate.WaitHeld());
  gate.Release();
}

TEST_F(CaptureDialog, AnAltimeterUnpluggedMidDownloadKeepsTheWholeSetsAndSaysTheLastMayBeIncomplete) {
  PlugIn();
  ReadGate gate(bus, device);
  const std::size_t firstSet = static_cast<std::size_t>(CountSetPackets(memory, 0));
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    UnplugDuringDownload(bus, gate, window, path, firstSet + 1);  // in the second set's second packet
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] {
      return HasLine(dialog.StatusTextNow(), L"Data set 2 may be incomplete: the download stopped before its end.");
    }));
    const std::wstring status = dialog.StatusTextNow();
    EXPECT_TRUE(HasLine(status, L"Failed to read data."));
    EXPECT_TRUE(HasLine(status, L"Device disconnected."));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return Enabled(window, IDC_CAPTURE_SAVE_ALL); })) << "the sets read stay";
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SELECT_CLOSE));
    EXPECT_FALSE(Enabled(window, IDC_CAPTURE_READ)) << "nothing to read from";
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return ShownIcon(window) == IDI_NOT_CONNECTED; }));
    ClickStrip(window, 0);
    EXPECT_TRUE(Enabled(window, IDC_CAPTURE_SAVE_SELECTED));
  });
  EXPECT_EQ(Bytes(device.packets), Bytes(PacketList(memory.begin(), memory.begin() + firstSet + 1)));
}

TEST_F(CaptureDialog, AnUnplugJustAfterTheNextFlightShowedItselfLeavesTheSetsBeforeItWhole) {
  PlugIn();
  ReadGate gate(bus, device);
  const std::size_t firstSet = static_cast<std::size_t>(CountSetPackets(memory, 0));
  CCaptureWindow dialog(device);
  WithConnectedDialog(dialog, [&](HWND window) {
    UnplugDuringDownload(bus, gate, window, path, firstSet);  // word 0 of the second set is in
    ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return HasLine(dialog.StatusTextNow(), L"Failed to read data."); }));
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] { return Enabled(window, IDC_CAPTURE_SAVE_ALL); })) << "the worker ended";
    EXPECT_EQ(dialog.StatusTextNow().find(L"incomplete"), std::wstring::npos);
  });
  EXPECT_EQ(device.packets.size(), firstSet);
}

}  // namespace
}  // namespace tev
