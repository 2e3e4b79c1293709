#include "ui/logic/BootloaderConnectSequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/VirtualBus.h"
#include "tests/support/LogCapture.h"
#include "tests/device/SimDevices.h"

namespace tev {
namespace {

using Texts = std::vector<std::wstring>;
using Devices = std::vector<std::shared_ptr<SimAltimeter>>;

std::shared_ptr<SimAltimeter> Held(Personality personality) {
  auto sim = MakeSim(personality);
  sim->SetRefuseOpen(true);
  return sim;
}

const Texts kNotInBootloader = {L"Device found, but is not in bootloader mode.\r\n",
                                L"Please reconnect the device in bootloader mode.\r\n"};

TEST(BootloaderConnectSequence, SaysWhatItFoundForEachOutcomeOfConnecting) {
  struct Case {
    const char* name;
    std::function<Devices()> devices;
    Texts texts;  // each AppendStatus call
    bool open;
  } cases[] = {
      {"connected", [] { return Devices{MakeForeignDevice(), MakeSim(Personality::Bootloader)}; },
       {L"Device connected in bootloader mode.\r\n", L"Device bootloader version: 1.00\r\n"}, true},
      {"another revision of the same version", [] { return Devices{MakeSim(Personality::Bootloader, 0x0105)}; },
       {L"Device connected in bootloader mode.\r\n", L"Device bootloader version: 1.05\r\n"}, true},
      {"bootloader of another version", [] { return Devices{MakeSim(Personality::Bootloader, 0x0110)}; },
       {L"Device found in bootloader mode, but has incompatible bootloader version.\r\n",
        L"Current device bootloader version: 1.10\r\n", L"Required device bootloader version: 1.00\r\n"},
       false},
      {"bootloader held by another program", [] { return Devices{Held(Personality::Bootloader)}; },
       {L"Device found in bootloader mode. Unable to connect to device.\r\n"
        L"Please ensure it is not being used by another application.\r\n"
        L"Removing the device and re-attaching it should correct this.\r\n"},
       false},
      {"application running", [] { return Devices{MakeSim(Personality::Application)}; }, kNotInBootloader, false},
      {"application of another version",
       [] { return Devices{MakeSim(Personality::Application, 0x0130)}; }, kNotInBootloader, false},
      // Neither connected nor of a wrong version: the sequence has nothing better to say.
      {"application held by another program", [] { return Devices{Held(Personality::Application)}; },
       {L"Device not found.\r\n"}, false},
      {"nothing but a keyboard", [] { return Devices{MakeForeignDevice()}; }, {L"Device not found.\r\n"}, false},
      {"nothing at all", [] { return Devices{}; }, {L"Device not found.\r\n"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture quiet;
    VirtualBus bus;
    for (const auto& sim : c.devices()) bus.Plug(sim);
    AltimeterDevice device(bus);
    Texts texts;
    BootloaderConnectSequence(device, [&](const std::wstring& text) { texts.push_back(text); });
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(device.IsOpen(), c.open);
    EXPECT_EQ(device.bootloaderMode, c.open) << "only an open bootloader counts as one";
  }
}

TEST(BootloaderConnectSequence, AnArrivalAfterAnApplicationWasClosedConnectsTheBootloader) {
  LogCapture quiet;
  VirtualBus bus;
  const std::wstring application = bus.Plug(MakeSim(Personality::Application, 0, "A"));
  AltimeterDevice device(bus);
  Texts texts;
  const StatusSink sink = [&](const std::wstring& text) { texts.push_back(text); };
  BootloaderConnectSequence(device, sink);
  EXPECT_EQ(texts, kNotInBootloader);
  EXPECT_FALSE(device.IsOpen());

  bus.Unplug(application);
  bus.Plug(MakeSim(Personality::Bootloader, 0x0101, "A"));
  texts.clear();
  BootloaderConnectSequence(device, sink);
  EXPECT_EQ(texts, (Texts{L"Device connected in bootloader mode.\r\n", L"Device bootloader version: 1.01\r\n"}));
  EXPECT_TRUE(device.IsOpen());
  EXPECT_TRUE(device.bootloaderMode);
}

}  // namespace
}  // namespace tev
