#include "model/DeviceSettings.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"

namespace tev {
namespace {

const SettingsImage kDefaultImage = {0xE0, 0x03, 0xFF, 0x3C, 0x00, 0x14, 0x00, 0x50,
                                     0x00, 0x32, 0x96, 0x00, 0x96, 0x00, 0x3B, 0x04};

TEST(DeviceSettings, DefaultsPackToTheKnownImageAndParseBack) {
  DeviceSettings settings;
  EXPECT_EQ(settings.image, kDefaultImage);
  EXPECT_EQ(DeviceSettings::ComputeChecksum(settings.image), 0x043B);

  DeviceSettings parsed;
  parsed.maxReadings = 7;
  parsed.adcOffset = 99;
  parsed.image = kDefaultImage;
  EXPECT_TRUE(parsed.Parse());
  EXPECT_EQ(parsed.maxReadings, 992);
  EXPECT_EQ(parsed.preservedFlag, 0xFF);
  EXPECT_EQ(parsed.preservedWord, 60);
  EXPECT_EQ(parsed.inhibitTenths, 20);
  EXPECT_EQ(parsed.preservedByte, 80);
  EXPECT_EQ(parsed.adcOffset, 0);
  EXPECT_EQ(parsed.lineAMode, LineMode::Apogee);
  EXPECT_EQ(parsed.lineBMode, LineMode::Altitude);
  EXPECT_EQ(parsed.lineAValue, 150);
  EXPECT_EQ(parsed.lineBValue, 150);
}

TEST(DeviceSettings, ChecksumCountsTheIndexTerms) {
  DeviceSettings settings;
  settings.image.fill(0);
  settings.image[14] = 0x5B;
  EXPECT_TRUE(settings.Parse());
  settings.image[14] = 0x00;
  EXPECT_FALSE(settings.Parse());
  settings.image.fill(0xFF);
  EXPECT_EQ(DeviceSettings::ComputeChecksum(settings.image), 0x0E4D);
  EXPECT_FALSE(settings.Parse());
  EXPECT_FALSE(settings.HasValidChecksum());
}

TEST(DeviceSettings, ParseUnpacksSignedOffsetModesAndFlag) {
  const struct {
    int at;
    std::uint8_t byte;
    std::int32_t offset;
    LineMode a, b;
    std::uint8_t flag;
  } cases[] = {
      {8, 0x80, -128, LineMode::Apogee, LineMode::Altitude, 0xFF},
      {8, 0x7F, 127, LineMode::Apogee, LineMode::Altitude, 0xFF},
      {9, 0x31, 0, LineMode::Time, LineMode::Altitude, 0xFF},
      {9, 0x00, 0, LineMode::Disabled, LineMode::Disabled, 0xFF},
      {2, 0x01, 0, LineMode::Apogee, LineMode::Altitude, 0xFF},
      {2, 0x00, 0, LineMode::Apogee, LineMode::Altitude, 0x00},
  };
  for (const auto& c : cases) {
    DeviceSettings settings;
    settings.image[c.at] = c.byte;
    settings.image[14] = 0;
    settings.image[15] = 0;
    const std::uint16_t sum = DeviceSettings::ComputeChecksum(settings.image);
    settings.image[14] = sum & 0xFF;
    settings.image[15] = sum >> 8;
    EXPECT_TRUE(settings.Parse());
    EXPECT_EQ(settings.adcOffset, c.offset) << c.at;
    EXPECT_EQ(settings.lineAMode, c.a) << c.at;
    EXPECT_EQ(settings.lineBMode, c.b) << c.at;
    EXPECT_EQ(settings.preservedFlag, c.flag) << c.at;
  }
}

TEST(DeviceSettings, PackWrapsTheOffsetAndNormalisesTheFlag) {
  DeviceSettings settings;
  settings.adcOffset = 200;
  settings.preservedFlag = 1;
  settings.lineAMode = LineMode::Time;
  settings.lineBMode = LineMode::Disabled;
  settings.Pack();
  EXPECT_EQ(settings.image[8], 0xC8);
  EXPECT_EQ(settings.image[2], 0xFF);
  EXPECT_EQ(settings.image[9], 0x01);
  EXPECT_TRUE(settings.HasValidChecksum());
  EXPECT_TRUE(settings.Parse());
  EXPECT_EQ(settings.adcOffset, -56);

  settings.adcOffset = 130;
  settings.Pack();
  settings.Parse();
  EXPECT_EQ(settings.adcOffset, -126);
}

TEST(DeviceSettings, FailedParseLeavesTheBadFieldsForTheCallerToRestore) {
  DeviceSettings settings;
  settings.image.fill(0xFF);
  EXPECT_FALSE(settings.Parse());
  EXPECT_EQ(settings.maxReadings, 0xFFFF);
  EXPECT_EQ(settings.adcOffset, -1);
}

TEST(DeviceSettings, LogsTheStepsOfPackAndParse) {
  LogCapture log;
  DeviceSettings settings;
  settings.maxReadings = 5;
  settings.image = kDefaultImage;
  settings.Parse();
  settings.image[0] ^= 1;
  settings.Parse();
  const std::vector<std::string> expected = {
      "Building settings...", "Done.",
      "Parsing settings...", "MaxReadings: 5", "Line: 32", "Checksum is valid.", "Done.",
      "Parsing settings...", "MaxReadings: 992", "Line: 32", "Invalid checksum!"};
  EXPECT_EQ(log.Lines(), expected);
}

TEST(DeviceSettings, SerializeWritesTheImageEvenWithABadChecksumButNotToAFailedStream) {
  LogCapture log;
  DeviceSettings settings;
  settings.image[15] ^= 0xFF;
  log.Clear();
  std::ostringstream out;
  EXPECT_TRUE(settings.Serialize(out));
  EXPECT_EQ(out.str(), std::string(settings.image.begin(), settings.image.end()));
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Invalid checksum.", "Successfully serialized settings."}));

  std::ostringstream failed;
  failed.setstate(std::ios::badbit);
  EXPECT_FALSE(settings.Serialize(failed));
}

}  // namespace
}  // namespace tev
