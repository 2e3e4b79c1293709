#pragma once
// Running tevtool in-process, and the data files the stats and plot tests work on.
#include <sstream>
#include <string>
#include <vector>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempDir.h"
#include "tools/tevtool/Tool.h"

namespace tev::testing {

struct ToolRun {
  int status;
  std::string out, err;
};

inline ToolRun RunTevtool(const std::vector<std::wstring>& args) {
  std::ostringstream out, err;
  const int status = tool::RunTool(args, out, err);
  return {status, out.str(), err.str()};
}

// Set 0 of the packets saved as a data file; with a broken checksum when asked.
inline std::wstring SaveFlight(const TempDir& dir, const std::wstring& name, const PacketList& packets,
                               const DeviceSettings& settings, bool breakChecksum = false) {
  const std::wstring path = dir.File(name);
  SaveDataSetFile(packets, settings, 0, path);
  if (breakChecksum) {
    std::string bytes = ReadAll(path);
    bytes[bytes.size() - 2] ^= 0x01;
    WriteAll(path, bytes);
  }
  return path;
}

// A data file holding every set of the packets. The program saves one set a file, so this one is
// written by hand, after the header of a file it saved.
inline std::wstring SaveAllSets(const TempDir& dir, const std::wstring& name, const PacketList& packets) {
  const DeviceSettings settings;
  const std::wstring path = SaveFlight(dir, name, packets, settings);
  std::string bytes = ReadAll(path).substr(0, 24);
  bytes += static_cast<char>(packets.size() & 0xFF);
  bytes += static_cast<char>((packets.size() >> 8) & 0xFF);
  for (const auto& p : packets) bytes.append(p.bytes.begin(), p.bytes.end());
  bytes.append(settings.image.begin(), settings.image.end());
  WriteAll(path, bytes);
  return path;
}

}  // namespace tev::testing
