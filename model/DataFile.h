#pragma once
// The .tev data file: one set's raw packets and the settings image in force.
#include <string>

#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"

namespace tev {

// True only when the whole file reached the disk; on failure an existing file is left as it was.
bool SaveDataSetFile(const PacketList& packets, const DeviceSettings& settings, int set, const std::wstring& path);
// All or nothing: packets and settings change only when the whole file is valid.
bool LoadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings);

enum class DataFileStatus { Ok, CannotOpen, NotADataFile, UnsupportedVersion, Truncated, BadChecksum };

// Reads and checks the whole file into packets and settings (the image read and parsed), as far
// as it gets; the caller decides what to keep. LoadDataSetFile keeps only a complete, valid file.
DataFileStatus ReadDataSetFile(const std::wstring& path, PacketList& packets, DeviceSettings& settings);

}  // namespace tev
