#include "model/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>

#include "model/DebugLog.h"
#include "model/ReplacingFile.h"
#include "model/WidePath.h"

namespace tev {
namespace {

constexpr unsigned char kFileIdentifier[16] = {0x78, 0x5A, 0xA7, 0xFF, 0x32, 0x04, 0x82, 0x4C,
                                               0x93, 0x9F, 0x89, 0x2D, 0x31, 0xA4, 0x7A, 0xBC};
constexpr std::uint16_t kFormatVersion = 256;
// Written for the readers of older files; never interpreted.
constexpr std::uint16_t kHeaderWords[3] = {0x0120, 0x0140, 0x0140};
constexpr std::size_t kHeaderSize = 26;  // identifier, four words, the packet count
constexpr std::size_t kPacketSize = sizeof(FlightPacket::bytes);
// The longest file the reader ever looks at: whatever follows is not read.
constexpr std::size_t kLongestFile = kHeaderSize + kPacketSize * 0xFFFF + std::tuple_size_v<SettingsImage>;

void AppendWord(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

// The file's bytes in order; each read says whether all it asked for was there.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  // Copies what is left, up to size bytes; true when that was all of them.
  bool Read(void* into, std::size_t size) {
    const std::size_t got = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, got, static_cast<char*>(into));
    at_ += got;
    return got == size;
  }
  bool ReadWord(std::uint16_t& value) {
    unsigned char b[2];
    if (!Read(b, 2)) return false;
    value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<std::string> EncodeDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set) {
  const int start = FindSetStart(packets, set);
  DebugLog("Set address: " + std::to_string(start));
  if (start < 0) {
    // A file without a flight would only be refused when opened.
    DebugLog("No such set to save.");
    return std::nullopt;
  }
  const int count = CountSetPackets(packets, set);
  if (count > 0xFFFF) {
    // The count field has 16 bits; a longer set cannot be stored without losing its end.
    DebugLog("Set too long to save.");
    return std::nullopt;
  }
  DebugLog("Packet Count: " + std::to_string(count));

  std::string bytes(reinterpret_cast<const char*>(kFileIdentifier), sizeof kFileIdentifier);
  AppendWord(bytes, kFormatVersion);
  for (std::uint16_t word : kHeaderWords) AppendWord(bytes, word);
  AppendWord(bytes, static_cast<std::uint16_t>(count));
  bytes.reserve(kHeaderSize + kPacketSize * static_cast<std::size_t>(count) + settings.image.size());
  // Exactly the counted packets: a file whose count disagrees with its packets cannot be read back.
  for (int i = 0; i < count; ++i) {
    const auto& packet = packets[static_cast<std::size_t>(start + i)].bytes;
    bytes.append(reinterpret_cast<const char*>(packet.data()), packet.size());
  }
  std::ostringstream image;
  settings.Serialize(image);
  bytes += image.str();
  return bytes;
}

bool SaveDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set, const std::wstring& path) {
  DebugLog("Selected set to save: " + std::to_string(set));
  ReplacingFile file(path);
  if (!file.IsOpen()) return false;
  const std::optional<std::string> bytes = EncodeDataSetFile(packets, settings, set);
  return bytes && file.Write(*bytes) && file.Commit();
}

DataFileStatus ParseDataSetFile(std::string_view bytes, PacketList& packets, DeviceSettings& settings) {
  ByteReader in(bytes);
  unsigned char identifier[16] = {};
  if (!in.Read(identifier, sizeof identifier) ||
      !std::equal(std::begin(identifier), std::end(identifier), std::begin(kFileIdentifier))) {
    DebugLog("Not an TEV file.");  // worded so on purpose: logs are compared word for word
    return DataFileStatus::NotADataFile;
  }
  std::uint16_t version = 0;
  if (!in.ReadWord(version)) return DataFileStatus::Truncated;
  if (version != kFormatVersion) return DataFileStatus::UnsupportedVersion;
  std::uint16_t ignored = 0;
  for (int i = 0; i < 3; ++i)
    if (!in.ReadWord(ignored)) return DataFileStatus::Truncated;

  packets.clear();
  DebugLog("Correct version.");
  std::uint16_t count = 0;
  if (!in.ReadWord(count)) return DataFileStatus::Truncated;
  DebugLog("Packet count: " + std::to_string(count));
  packets.reserve(std::min<std::size_t>(count, bytes.size() / kPacketSize + 1));
  for (int i = 0; i < count; ++i) {
    // Bytes a short read does not reach keep the erased state.
    FlightPacket packet = FlightPacket::Erased();
    const bool whole = in.Read(packet.bytes.data(), packet.bytes.size());
    DebugLog("Read packet " + std::to_string(i));
    packets.push_back(packet);
    if (!whole) return DataFileStatus::Truncated;
  }

  if (!in.Read(settings.image.data(), settings.image.size())) return DataFileStatus::Truncated;
  const bool checksumValid = settings.Parse();
  // Checked after the checksum's verdict is known but reported first: a file without a flight
  // is of no use whatever its settings say.
  if (CountSets(packets) == 0) {
    DebugLog("No flight in the file.");
    return DataFileStatus::NoFlight;
  }
  if (!checksumValid) return DataFileStatus::BadChecksum;
  DebugLog("Successfully de-serialized.");
  return DataFileStatus::Ok;
}

namespace {

// As much of the file as the reader can use; nothing when it cannot be opened.
std::optional<std::string> ReadFileStart(const std::wstring& path) {
  const UniqueFile file = OpenFile(ToFsPath(path), "rb");
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[1 << 16];
  while (bytes.size() < kLongestFile) {
    const std::size_t got = std::fread(chunk, 1, std::min(sizeof chunk, kLongestFile - bytes.size()), file.Get());
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return bytes;
}

}  // namespace

DataFileStatus ReadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings) {
  const std::optional<std::string> bytes = ReadFileStart(path);
  if (!bytes) return DataFileStatus::CannotOpen;
  return ParseDataSetFile(*bytes, packets, settings);
}

bool LoadDataSet(std::string_view bytes, PacketList& packets, DeviceSettings& settings) {
  // Read into copies: a bad file must not cost the flights and settings already held.
  PacketList newPackets;
  DeviceSettings newSettings = settings;
  const DataFileStatus status = ParseDataSetFile(bytes, newPackets, newSettings);
  if (status != DataFileStatus::Ok && status != DataFileStatus::BadChecksum) return false;
  // The file itself is left as it is.
  if (status == DataFileStatus::BadChecksum) DebugLog("Invalid settings checksum: using the default settings.");
  packets = std::move(newPackets);
  settings = SettingsInForce(newSettings, status == DataFileStatus::Ok);
  return true;
}

DeviceSettings SettingsInForce(const DeviceSettings& fileSettings, bool checksumValid) {
  return checksumValid ? fileSettings : DeviceSettings();
}

bool LoadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings) {
  const std::optional<std::string> bytes = ReadFileStart(path);
  return bytes && LoadDataSet(*bytes, packets, settings);
}

}  // namespace tev
