// make-firmware: writes a firmware file (*.dat) from a raw binary image, with the version words
// and the length as options, so that good and deliberately bad files are easy to make.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/FirmwareFile.h"
#include "model/WidePath.h"

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

bool ParseNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 0);
  return *end == '\0';
}

bool ParseWord(const std::string& text, std::uint16_t& value) {
  long long v = 0;
  if (!ParseNumber(text, v) || v < 0 || v > 0xFFFF) return false;
  value = static_cast<std::uint16_t>(v);
  return true;
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
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string a = narrow(args[i]);
    auto next = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = narrow(args[++i]);
      return true;
    };
    std::string v;
    long long n = 0;
    if (a == "--format" || a == "--bootloader" || a == "--firmware") {
      std::uint16_t& field = a == "--format" ? fw.fileFormatVersion
                             : a == "--bootloader" ? fw.bootloaderVersion
                                                   : fw.firmwareVersion;
      if (!next(v) || !ParseWord(v, field)) {
        std::fprintf(stderr, "make-firmware: %s needs a 16-bit number\n", a.c_str());
        return 2;
      }
    } else if (a == "--length") {
      if (!next(v) || !ParseNumber(v, n) || n < INT32_MIN || n > INT32_MAX) {
        std::fputs("make-firmware: --length needs a 32-bit number\n", stderr);
        return 2;
      }
      fw.length = static_cast<std::int32_t>(n);
      haveLength = true;
    } else if (a == "--cut") {
      if (!next(v) || !ParseNumber(v, cut) || cut < 0) {
        std::fputs("make-firmware: --cut needs a byte count\n", stderr);
        return 2;
      }
    } else if (a == "--pattern") {
      if (!next(v) || !ParseNumber(v, pattern) || pattern < 0 || pattern > static_cast<long long>(tev::kFirmwareImageSize)) {
        std::fputs("make-firmware: --pattern needs a byte count of at most 65536\n", stderr);
        return 2;
      }
    } else if (a == "--bad-magic") {
      badMagic = true;
    } else if (a == "-h" || a == "--help") {
      Usage();
      return 0;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "make-firmware: unknown option %s\n", a.c_str());
      Usage();
      return 2;
    } else {
      positional.push_back(args[i]);
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
