// make-firmware: writes a firmware file (*.dat) from a raw binary image, with the version words
// and the length as options, so that good and deliberately bad files are easy to make.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "device/FirmwareFile.h"
#include "model/UnsignedNumber.h"
#include "model/WidePath.h"
#include "tools/common/Arguments.h"

namespace {

using tev::FirmwareImage;

void Usage() {
  std::fputs(
      "usage: make-firmware [options] IMAGE OUTPUT\n"
      "       make-firmware [options] --pattern N OUTPUT\n"
      "  IMAGE is a raw binary of at most 65536 bytes; the rest of the image stays 0xFF.\n"
      "  --pattern N     no IMAGE: a made-up image of N bytes, no 64-byte block of it blank\n"
      "  --format V      file format version (default 0x0100)\n"
      "  --bootloader V  bootloader version the firmware needs (default 0x0100)\n"
      "  --firmware V    firmware version (default 0x0140)\n"
      "  --length N      image bytes to program, may be negative (default: the image's size)\n"
      "  --cut N         write only the first N bytes of the file\n"
      "  --bad-magic     spoil the file's magic\n"
      "Numbers may be decimal or 0x-prefixed hexadecimal.\n",
      stderr);
}

// Version words are usually written 0x...; --length alone may be negative.
std::optional<std::uint16_t> ReadWord(const std::wstring& text) {
  const auto value = tev::ReadUnsigned(text, 0xFFFF, tev::NumberBase::DecimalOrHex);
  if (!value) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

std::optional<std::int32_t> ReadLength(const std::wstring& text) {
  const bool negative = !text.empty() && text[0] == L'-';
  const std::uint64_t magnitude = negative ? 0x80000000ull : 0x7FFFFFFFull;
  const auto value = tev::ReadUnsigned(std::wstring_view(text).substr(negative ? 1 : 0), magnitude, tev::NumberBase::DecimalOrHex);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(*value) : static_cast<std::int64_t>(*value));
}

int Run(const std::vector<std::wstring>& args) {
  FirmwareImage fw;
  fw.fileFormatVersion = tev::kFirmwareFileFormat;
  fw.bootloaderVersion = 0x0100;
  fw.firmwareVersion = 0x0140;
  bool haveLength = false, badMagic = false;
  long long cut = -1, pattern = -1;
  std::vector<std::wstring> positional;

  auto narrow = [](const std::wstring& w) { return tev::WideToUtf8(w); };
  const auto kindOf = [](const std::wstring& a) {
    if (a == L"--format" || a == L"--bootloader" || a == L"--firmware" || a == L"--length" || a == L"--cut" ||
        a == L"--pattern")
      return tev::ArgumentKind::Valued;
    if (a == L"--bad-magic" || a == L"-h" || a == L"--help") return tev::ArgumentKind::Switch;
    return tev::ArgumentKind::Positional;
  };
  for (const tev::Argument<std::wstring>& argument : tev::ReadArguments(args, kindOf)) {
    const std::string a = narrow(argument.text);
    const std::wstring v = argument.value.value_or(L"");
    if (a == "--format" || a == "--bootloader" || a == "--firmware") {
      std::uint16_t& field = a == "--format" ? fw.fileFormatVersion
                             : a == "--bootloader" ? fw.bootloaderVersion
                                                   : fw.firmwareVersion;
      const auto word = ReadWord(v);
      if (!argument.value || !word) {
        std::fprintf(stderr, "make-firmware: %s needs a 16-bit number\n", a.c_str());
        return 2;
      }
      field = *word;
    } else if (a == "--length") {
      const auto length = ReadLength(v);
      if (!argument.value || !length) {
        std::fputs("make-firmware: --length needs a 32-bit number\n", stderr);
        return 2;
      }
      fw.length = *length;
      haveLength = true;
    } else if (a == "--cut") {
      const auto bytes = tev::ReadUnsigned(v, INT64_MAX, tev::NumberBase::DecimalOrHex);
      if (!argument.value || !bytes) {
        std::fputs("make-firmware: --cut needs a byte count\n", stderr);
        return 2;
      }
      cut = static_cast<long long>(*bytes);
    } else if (a == "--pattern") {
      const auto bytes = tev::ReadUnsigned(v, tev::kFirmwareImageSize, tev::NumberBase::DecimalOrHex);
      if (!argument.value || !bytes) {
        std::fputs("make-firmware: --pattern needs a byte count of at most 65536\n", stderr);
        return 2;
      }
      pattern = static_cast<long long>(*bytes);
    } else if (a == "--bad-magic") {
      badMagic = true;
    } else if (argument.kind == tev::ArgumentKind::Switch) {
      Usage();
      return 0;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "make-firmware: unknown option %s\n", a.c_str());
      Usage();
      return 2;
    } else {
      positional.push_back(argument.text);
    }
  }
  if (positional.size() != (pattern >= 0 ? 1u : 2u)) {
    Usage();
    return 2;
  }

  std::vector<std::uint8_t> image;
  if (pattern >= 0) {
    // Bytes 1, 8, 15, ...: never 64 of 0xFF in a row, so every block is programmed.
    for (long long i = 0; i < pattern; ++i) image.push_back(static_cast<std::uint8_t>(i * 7 + 1));
  } else {
    std::ifstream in(tev::ToFsPath(positional[0]), std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "make-firmware: cannot open %s\n", narrow(positional[0]).c_str());
      return 1;
    }
    image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (image.size() > tev::kFirmwareImageSize) {
      std::fprintf(stderr, "make-firmware: %s is larger than 65536 bytes\n", narrow(positional[0]).c_str());
      return 1;
    }
  }
  std::copy(image.begin(), image.end(), fw.image.begin());
  if (!haveLength) fw.length = static_cast<std::int32_t>(image.size());

  std::vector<std::uint8_t> bytes = tev::EncodeFirmwareFile(fw);
  if (badMagic) bytes[0] ^= 0xFF;
  if (cut >= 0 && static_cast<std::size_t>(cut) < bytes.size()) bytes.resize(static_cast<std::size_t>(cut));
  const std::wstring& output = positional.back();
  if (!tev::WriteFirmwareFile(output, bytes)) {
    std::fprintf(stderr, "make-firmware: cannot write %s\n", narrow(output).c_str());
    return 1;
  }
  std::fprintf(stderr, "make-firmware: wrote %zu bytes, length %d, versions %04x/%04x/%04x\n", bytes.size(),
               static_cast<int>(fw.length), fw.fileFormatVersion, fw.bootloaderVersion, fw.firmwareVersion);
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(tev::Utf8ToWide(argv[i]));
  return Run(args);
}
#endif
