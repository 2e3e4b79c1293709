#pragma once
// The .tev data file: one set's raw packets and the settings image in force.
#include <optional>
#include <string>
#include <string_view>

#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"

namespace tev {

// True only when the whole file reached the disk; on failure an existing file is left as it was.
// A set that does not exist is not saved.
bool SaveDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set, const std::wstring& path);
// All or nothing: packets and settings change only when the whole file is usable. A file whose
// only fault is its settings checksum is usable: its flights come with the default settings.
bool LoadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings);

enum class DataFileStatus {
  Ok,
  CannotOpen,
  NotADataFile,
  UnsupportedVersion,
  Truncated,
  NoFlight,     // complete, but not one packet starts a flight
  BadChecksum,  // complete and with a flight; only the settings checksum is wrong
};

// Reads and checks the whole file into packets and settings (the image read and parsed), as far
// as it gets; the caller decides what to keep.
DataFileStatus ReadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings);

// The same on a file's bytes in memory.
DataFileStatus ParseDataSetFile(std::string_view bytes, PacketList& packets, DeviceSettings& settings);
bool LoadDataSet(std::string_view bytes, PacketList& packets, DeviceSettings& settings);
// The settings a file's flights are shown with: the file's own, or the factory settings when their
// checksum fails, so that a blank or damaged settings block does not cost the flight.
DeviceSettings SettingsInForce(const DeviceSettings& fileSettings, bool checksumValid);
// The bytes SaveDataSetFile writes; nothing for a set that does not exist or cannot be stored.
std::optional<std::string> EncodeDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set);

}  // namespace tev
