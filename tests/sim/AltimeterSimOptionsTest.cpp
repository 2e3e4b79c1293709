#include "tools/altimeter-sim/AltimeterSimOptions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/DeviceSettings.h"

namespace tev {
namespace {

TEST(AltimeterSimOptions, ReadsIdentityTimingAndFaults) {
  const auto o = ParseAltimeterSimOptions(
      {"--port", "0xB000", "--personality", "bootloader", "--bootloader-version", "0x0105", "--serial", "Bench7",
       "--interval", "0", "--refuse-open", "--withhold-reply", "16", "--replace-code", "3:0x0C", "--unplugged"},
      nullptr);
  ASSERT_TRUE(o.error.empty()) << o.error;
  EXPECT_EQ(o.port, 0xB000);
  EXPECT_EQ(o.config.personality, Personality::Bootloader);
  EXPECT_EQ(o.config.bootloaderVersion, 0x0105);
  EXPECT_EQ(o.config.serial, "Bench7");
  EXPECT_EQ(o.config.reportIntervalMs, 0u);
  EXPECT_TRUE(o.config.refuseOpen);
  EXPECT_FALSE(o.startPlugged);
  ASSERT_EQ(o.faults.size(), 2u);
  EXPECT_EQ(o.faults[0].kind, SimFaultKind::WithholdReplies);
  EXPECT_EQ(o.faults[0].at, 16u);
  EXPECT_EQ(o.faults[1].kind, SimFaultKind::ReplaceCode);
  EXPECT_EQ(o.faults[1].at, 3u);
  EXPECT_EQ(o.faults[1].code, 0x0C);
}

TEST(AltimeterSimOptions, ChoosesTheFlightsInMemory) {
  EXPECT_EQ(ParseAltimeterSimOptions({}, nullptr).flights.size(), 4u);
  EXPECT_EQ(ParseAltimeterSimOptions({"--flights", "sport,hop"}, nullptr).flights,
            (std::vector<std::string>{"sport", "hop"}));
  EXPECT_TRUE(ParseAltimeterSimOptions({"--flights", "none"}, nullptr).flights.empty());
  EXPECT_EQ(ParseAltimeterSimOptions({"--flights", "full"}, nullptr).flights, std::vector<std::string>{"full"});
  EXPECT_FALSE(ParseAltimeterSimOptions({"--flights", "hop,moon"}, nullptr).error.empty());
  EXPECT_FALSE(ParseAltimeterSimOptions({"--flights", "hop,"}, nullptr).error.empty());
}

TEST(AltimeterSimOptions, EmulationPaceAndFilesToHandOver) {
  const auto defaults = ParseAltimeterSimOptions({}, nullptr);
  EXPECT_EQ(defaults.emulationPeriodMs, 100u);
  EXPECT_TRUE(defaults.dumpMemory.empty());
  EXPECT_TRUE(defaults.programmedImage.empty());
  const auto o = ParseAltimeterSimOptions(
      {"--emulation-period", "5", "--dump-memory", "m.bin", "--programmed-image", "p.bin"}, nullptr);
  ASSERT_TRUE(o.error.empty()) << o.error;
  EXPECT_EQ(o.emulationPeriodMs, 5u);
  EXPECT_EQ(o.dumpMemory, "m.bin");
  EXPECT_EQ(o.programmedImage, "p.bin");
  EXPECT_FALSE(ParseAltimeterSimOptions({"--emulation-period", "-1"}, nullptr).error.empty());
  EXPECT_EQ(defaults.bootloaderDelayMs, 0u);
  EXPECT_EQ(ParseAltimeterSimOptions({"--slow-bootloader", "400"}, nullptr).bootloaderDelayMs, 400u);
  EXPECT_FALSE(ParseAltimeterSimOptions({"--slow-bootloader", "soon"}, nullptr).error.empty());
}

TEST(AltimeterSimOptions, SensorBatteryWritePaceAndABrokenSettingsBlock) {
  SimState untouched;
  SimState state;
  ApplyStateOptions(ParseAltimeterSimOptions({}, nullptr), state);
  EXPECT_EQ(state.adcCount, untouched.adcCount);
  EXPECT_EQ(state.batteryTenths, untouched.batteryTenths);
  EXPECT_EQ(state.settingsBlock, untouched.settingsBlock);
  EXPECT_EQ(state.settingsWriteMs, 0u);

  const auto o = ParseAltimeterSimOptions(
      {"--adc", "830", "--battery", "120", "--settings-write-delay", "2500", "--bad-settings-checksum"}, nullptr);
  ASSERT_TRUE(o.error.empty()) << o.error;
  ApplyStateOptions(o, state);
  EXPECT_EQ(state.adcCount, 830);
  EXPECT_EQ(state.batteryTenths, 120);
  EXPECT_EQ(state.settingsWriteMs, 2500u);
  const std::uint16_t stored = static_cast<std::uint16_t>(state.settingsBlock[14] | state.settingsBlock[15] << 8);
  EXPECT_NE(stored, DeviceSettings::ComputeChecksum(state.settingsBlock));
  EXPECT_TRUE(std::equal(state.settingsBlock.begin(), state.settingsBlock.begin() + 14, untouched.settingsBlock.begin()));
  EXPECT_FALSE(ParseAltimeterSimOptions({"--adc", "1024"}, nullptr).error.empty());
}

TEST(AltimeterSimOptions, ThePortComesFromTheEnvironmentUnlessGiven) {
  EXPECT_EQ(ParseAltimeterSimOptions({}, nullptr).port, 47001);
  EXPECT_EQ(ParseAltimeterSimOptions({}, "47123").port, 47123);
  EXPECT_EQ(ParseAltimeterSimOptions({"--port", "5000"}, "47123").port, 5000);
  EXPECT_FALSE(ParseAltimeterSimOptions({}, "lots").error.empty());
}

TEST(AltimeterSimOptions, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> bad = {
      {"--port", "0"},          {"--port", "70000"},        {"--serial", "has space"},
      {"--serial", std::string(33, 'a')}, {"--personality", "both"}, {"--firmware-version", "-1"},
      {"--replace-code", "3"},  {"--interval"},             {"--frobnicate"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args[0]);
    EXPECT_FALSE(ParseAltimeterSimOptions(args, nullptr).error.empty());
  }
}

TEST(AltimeterSimOptions, SaysWhatItRefusedFirst) {
  const struct {
    std::vector<std::string> args;
    const char* env;
    std::string error;
  } cases[] = {
      {{"--frobnicate", "--port", "0"}, nullptr, "unknown option: --frobnicate"},
      {{"--port", "0", "--frobnicate"}, nullptr, "bad value for --port: 0"},
      {{"--adc", "5", "--serial"}, nullptr, "--serial needs a value"},
      {{"--serial", "--port"}, nullptr, "bad value for --serial: --port"},  // a value is taken whole
      {{"--port", "0"}, "lots", "TEV_SIM_PORT is not a port number: lots"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseAltimeterSimOptions(c.args, c.env).error, c.error) << c.args[0];
}

}  // namespace
}  // namespace tev
