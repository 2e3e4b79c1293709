#include "device/FirmwareFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/WidePath.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"

namespace tev {
namespace {

namespace fs = std::filesystem;

class FirmwareFileTest : public ::testing::Test {
 protected:
  std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring p = dir_.Path().wstring() + L"/" + name;
    fs::create_directories(ToFsPath(p).parent_path());
    EXPECT_TRUE(WriteFirmwareFile(p, bytes));
    return p;
  }
  static FirmwareImage Sample(std::int32_t length) {
    FirmwareImage fw;
    fw.fileFormatVersion = 0x0100;
    fw.bootloaderVersion = 0x0105;
    fw.firmwareVersion = 0x0141;
    fw.length = length;
    for (std::size_t i = 0; i < 300; ++i) fw.image[i] = static_cast<std::uint8_t>(i * 7);
    return fw;
  }

  testing::TempDir dir_;
  LogCapture log_;
};

TEST_F(FirmwareFileTest, ImageIsStoredScrambledAndReadBackPlain) {
  const FirmwareImage fw = Sample(300);
  const auto bytes = EncodeFirmwareFile(fw);
  ASSERT_EQ(bytes.size(), kFirmwareFileSize);
  // Word 0 of the image (0x00, 0x07) is stored XORed with 0x5C71, little-endian.
  EXPECT_EQ(bytes[22], 0x00 ^ 0x71);
  EXPECT_EQ(bytes[23], 0x07 ^ 0x5C);
  EXPECT_EQ(bytes[kFirmwareFileSize - 4], 300 & 0xFF);

  FirmwareImage read;
  EXPECT_EQ(ReadFirmwareFile(Write(L"good.dat", bytes), read), kFirmwareRead);
  EXPECT_EQ(read.image, fw.image);
  EXPECT_EQ(read.length, 300);
  EXPECT_EQ(read.fileFormatVersion, 0x0100);
  EXPECT_EQ(read.bootloaderVersion, 0x0105);
  EXPECT_EQ(read.firmwareVersion, 0x0141);
  EXPECT_EQ(log_.Lines(), std::vector<std::string>{"Reading file."});
}

TEST_F(FirmwareFileTest, OpensAFolderNamedOutsideAnyCodePage) {
  FirmwareImage read;
  const std::wstring path = Write(L"\u0424\u0438\u0440\u043c\u0430 \u706b\u7bad/\u00e9t\u00e9.dat", EncodeFirmwareFile(Sample(64)));
  EXPECT_EQ(ReadFirmwareFile(path, read), kFirmwareRead);
  EXPECT_EQ(read.length, 64);
}

TEST_F(FirmwareFileTest, BadFilesAreToldApart) {
  const auto good = EncodeFirmwareFile(Sample(100));
  auto badMagic = good;
  badMagic[15] ^= 1;
  auto badFormat = good;
  badFormat[16] = 0x01;  // 0x0101
  auto negative = EncodeFirmwareFile(Sample(-1));
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int result;
  } cases[] = {
      {"empty", {}, kFirmwareTooShort},
      {"half a magic", std::vector<std::uint8_t>(good.begin(), good.begin() + 8), kFirmwareTooShort},
      {"wrong magic", badMagic, kFirmwareWrongMagic},
      {"no format word", std::vector<std::uint8_t>(good.begin(), good.begin() + 17), kFirmwareTooShort},
      {"format 0x0101", badFormat, kFirmwareWrongFormat},
      {"image cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 40000), kFirmwareTooShort},
      {"one byte short of the length", std::vector<std::uint8_t>(good.begin(), good.end() - 1), kFirmwareTooShort},
      {"negative length", negative, kFirmwareBadLength},
  };
  for (const auto& c : cases) {
    FirmwareImage read;
    EXPECT_EQ(ReadFirmwareFile(Write(L"bad.dat", c.bytes), read), c.result) << c.what;
  }
  FirmwareImage read;
  EXPECT_EQ(ReadFirmwareFile(Write(L"format.dat", badFormat), read), kFirmwareWrongFormat);
  EXPECT_EQ(read.fileFormatVersion, 0x0101);  // known once the magic matched

  auto longer = good;
  longer.resize(good.size() + 100, 0xAB);  // bytes past the layout are ignored
  EXPECT_EQ(ReadFirmwareFile(Write(L"longer.dat", longer), read), kFirmwareRead);
  EXPECT_EQ(read.length, 100);
}

// The length says how much of the 64 KiB image to program: beyond the image it names blocks
// that do not exist, and the progress could never reach its end.
TEST_F(FirmwareFileTest, LengthMustLieWithinTheImage) {
  const struct {
    std::int32_t length;
    int result;
  } cases[] = {
      {-1, kFirmwareBadLength}, {0, kFirmwareRead},          {64, kFirmwareRead},
      {65536, kFirmwareRead},   {65537, kFirmwareBadLength}, {70000, kFirmwareBadLength},
  };
  for (const auto& c : cases) {
    FirmwareImage read;
    const auto bytes = EncodeFirmwareFile(Sample(c.length));
    EXPECT_EQ(DecodeFirmwareFile(bytes.data(), bytes.size(), read), c.result) << c.length;
    EXPECT_EQ(read.length, c.length);
  }
}

TEST_F(FirmwareFileTest, MissingFileCannotBeOpenedAndLogsNothing) {
  FirmwareImage read;
  EXPECT_EQ(ReadFirmwareFile((dir_.Path() / "absent.dat").wstring(), read), kFirmwareCannotOpen);
  EXPECT_TRUE(log_.Lines().empty());
}

}  // namespace
}  // namespace tev
