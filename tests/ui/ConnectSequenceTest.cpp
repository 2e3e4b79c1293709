#include "ui/logic/ConnectSequence.h"

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

std::shared_ptr<SimAltimeter> RefusingToOpen() {
  SimConfig config;
  config.reportIntervalMs = 0;
  config.refuseOpen = true;
  return std::make_shared<SimAltimeter>(config);
}

struct Case {
  const char* name;
  std::function<std::vector<std::shared_ptr<SimAltimeter>>()> devices;
  Texts texts;  // each AppendStatus call
  bool open;
};

TEST(ConnectSequence, SaysWhatItFoundForEachOutcomeOfConnecting) {
  const Case cases[] = {
      {"connected", [] { return std::vector{MakeForeignDevice(), MakeSim()}; },
       {L"Device Connected.\r\n", L"Current device firmware version: 1.40\r\n"}, true},
      {"another revision of the same version", [] { return std::vector{MakeSim(Personality::Application, 0x0143)}; },
       {L"Device Connected.\r\n", L"Current device firmware version: 1.43\r\n"}, true},
      {"wrong version", [] { return std::vector{MakeSim(Personality::Application, 0x0130)}; },
       {L"Device found, but has incompatible firmware version.\r\n", L"Current device firmware version: 1.30\r\n",
        L"Required device firmware version: 1.40\r\n"},
       false},
      {"in bootloader mode", [] { return std::vector{MakeSim(Personality::Bootloader)}; },
       {L"Device found, but is in bootloader mode.\r\n", L"Please reconnect the device.\r\n"}, false},
      {"cannot open", [] { return std::vector{RefusingToOpen()}; },
       {L"Device found. Unable to connect to device.\r\n"
        L"Please ensure it is not being used by another application.\r\n"
        L"Removing the device and re-attaching it should correct this.\r\n"},
       false},
      {"not found", [] { return std::vector{MakeForeignDevice()}; }, {L"Device not found.\r\n"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture quiet;
    VirtualBus bus;
    for (const auto& sim : c.devices()) bus.Plug(sim);
    AltimeterDevice device(bus);
    Texts texts;
    ConnectSequence(device, [&](const std::wstring& text) { texts.push_back(text); });
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(device.IsOpen(), c.open);
    EXPECT_FALSE(device.bootloaderMode);
  }
}

TEST(ConnectSequence, ANewArrivalReplacesTheEarlierConnection) {
  LogCapture quiet;
  VirtualBus bus;
  const std::wstring first = bus.Plug(MakeSim(Personality::Application, 0, "A"));
  AltimeterDevice device(bus);
  Texts texts;
  const StatusSink sink = [&](const std::wstring& text) { texts.push_back(text); };
  ConnectSequence(device, sink);
  ASSERT_TRUE(device.IsOpen());
  bus.Unplug(first);
  bus.Plug(MakeSim(Personality::Application, 0x0141, "B"));
  texts.clear();
  ConnectSequence(device, sink);
  EXPECT_EQ(texts, (Texts{L"Device Connected.\r\n", L"Current device firmware version: 1.41\r\n"}));
  EXPECT_NE(device.devicePath.find(L"sim&B#"), std::wstring::npos);
}

}  // namespace
}  // namespace tev
