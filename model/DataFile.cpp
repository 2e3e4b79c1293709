#include "model/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

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

void AppendWord(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

bool ReadExactly(std::FILE* file, void* into, std::size_t size) { return std::fread(into, 1, size, file) == size; }

bool ReadWord(std::FILE* file, std::uint16_t& value) {
  unsigned char bytes[2];
  if (!ReadExactly(file, bytes, 2)) return false;
  value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
  return true;
}

}  // namespace

bool SaveDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set, const std::wstring& path) {
  DebugLog("Selected set to save: " + std::to_string(set));
  ReplacingFile file(path);
  if (!file.IsOpen()) return false;

  std::string bytes(reinterpret_cast<const char*>(kFileIdentifier), sizeof kFileIdentifier);
  AppendWord(bytes, kFormatVersion);
  for (std::uint16_t word : kHeaderWords) AppendWord(bytes, word);

  const int start = FindSetStart(packets, set);
  DebugLog("Set address: " + std::to_string(start));
  const int count = CountSetPackets(packets, set);
  if (count > 0xFFFF) {
    // The count field has 16 bits; a longer set cannot be stored without losing its end.
    DebugLog("Set too long to save.");
    return false;
  }
  DebugLog("Packet Count: " + std::to_string(count));
  AppendWord(bytes, static_cast<std::uint16_t>(count));
  // Exactly the counted packets: a file whose count disagrees with its packets cannot be read back.
  for (int i = 0; i < count; ++i) {
    const auto& packet = packets[static_cast<std::size_t>(start + i)].bytes;
    bytes.append(reinterpret_cast<const char*>(packet.data()), packet.size());
  }

  std::ostringstream image;
  settings.Serialize(image);
  bytes += image.str();

  return file.Write(bytes) && file.Commit();
}

DataFileStatus ReadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings) {
  const FilePtr file = OpenFile(ToFsPath(path), "rb");
  if (!file) return DataFileStatus::CannotOpen;

  unsigned char identifier[16] = {};
  if (!ReadExactly(file.get(), identifier, sizeof identifier) ||
      !std::equal(std::begin(identifier), std::end(identifier), std::begin(kFileIdentifier))) {
    DebugLog("Not an TEV file.");
    return DataFileStatus::NotADataFile;
  }
  std::uint16_t version = 0;
  if (!ReadWord(file.get(), version)) return DataFileStatus::Truncated;
  if (version != kFormatVersion) return DataFileStatus::UnsupportedVersion;
  std::uint16_t ignored = 0;
  for (int i = 0; i < 3; ++i)
    if (!ReadWord(file.get(), ignored)) return DataFileStatus::Truncated;

  packets.clear();
  DebugLog("Correct version.");
  std::uint16_t count = 0;
  if (!ReadWord(file.get(), count)) return DataFileStatus::Truncated;
  DebugLog("Packet count: " + std::to_string(count));
  packets.reserve(count);
  for (int i = 0; i < count; ++i) {
    // Bytes a short read does not reach keep the erased state.
    FlightPacket packet = FlightPacket::Erased();
    const std::size_t got = std::fread(packet.bytes.data(), 1, packet.bytes.size(), file.get());
    DebugLog("Read packet " + std::to_string(i));
    packets.push_back(packet);
    if (got != packet.bytes.size()) return DataFileStatus::Truncated;
  }

  if (!ReadExactly(file.get(), settings.image.data(), settings.image.size())) return DataFileStatus::Truncated;
  if (!settings.Parse()) return DataFileStatus::BadChecksum;
  DebugLog("Successfully de-serialized.");
  return DataFileStatus::Ok;
}

bool LoadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings) {
  // Read into copies: a bad file must not cost the flights and settings already held.
  PacketList newPackets;
  DeviceSettings newSettings = settings;
  if (ReadDataSetFile(path, newPackets, newSettings) != DataFileStatus::Ok) return false;
  packets = std::move(newPackets);
  settings = newSettings;
  return true;
}

}  // namespace tev
