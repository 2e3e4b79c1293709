#pragma once
// What stats and plot share: reading a data file so that a failing settings checksum still gives
// a flight (with the default settings, said on standard error), and their common arguments.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/DataSet.h"
#include "tools/tevtool/Tool.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

struct FlightFile {
  std::wstring path;
  LoadedFile file;          // packets, and the settings as the file holds them
  DeviceSettings used;      // what the flights are built with: the file's, or the defaults
  bool usingDefaults = false;

  std::vector<int> starts;  // the first packet of each set, found once: a file may hold 65,535

  int Sets() const { return static_cast<int>(starts.size()); }
  DataSet Build(int set) const;
};

// A flight file from packets already in memory, checksum valid.
FlightFile MakeFlightFile(const std::wstring& path, PacketList packets, const DeviceSettings& settings);

// False after one line on err (a file without a flight too); a bad checksum is only a note on err.
bool LoadFlightFile(const std::wstring& path, FlightFile& flight, std::ostream& err);

// Fails with one line on err unless the file holds set `set`.
bool CheckSetExists(const FlightFile& flight, int set, std::ostream& err);

// The file name without its folder, for captions and headings.
std::string DisplayName(const std::wstring& path);

}  // namespace tev::tool
