// tevtool info FILE.tev: what a data file holds.
#include <cstdio>
#include <vector>

#include "model/NumberFormat.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

const char* ModeName(LineMode mode) {
  switch (mode) {
    case LineMode::Disabled: return "Disabled";
    case LineMode::Time: return "Time";
    case LineMode::Apogee: return "Apogee";
    case LineMode::Altitude: return "Altitude";
  }
  return "unknown";
}


}  // namespace

int RunInfo(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return Fail(err, "usage: tevtool info FILE.tev");
  LoadedFile file;
  if (!LoadForTool(args[0], file, err)) return 1;

  const PacketList& packets = file.packets;
  const DeviceSettings& s = file.settings;
  // One pass over the list: a file may hold tens of thousands of sets.
  const std::vector<int> starts = FindSetStarts(packets);
  out << "file: " << Narrow(args[0]) << '\n';
  out << "packets: " << packets.size() << '\n';
  out << "sets: " << starts.size() << '\n';
  for (std::size_t set = 0; set < starts.size(); ++set)
    out << "set " << set << ": first packet " << starts[set] << ", " << CountSetSamples(packets, starts[set])
        << " samples\n";
  out << "maxReadings: " << s.maxReadings << '\n'
      << "preservedFlag: " << static_cast<unsigned>(s.preservedFlag) << '\n'
      << "preservedWord: " << s.preservedWord << '\n'
      << "inhibitTenths: " << s.inhibitTenths << '\n'
      << "preservedByte: " << static_cast<unsigned>(s.preservedByte) << '\n'
      << "adcOffset: " << s.adcOffset << '\n'
      << "lineAMode: " << static_cast<unsigned>(s.lineAMode) << " (" << ModeName(s.lineAMode) << ")\n"
      << "lineAValue: " << s.lineAValue << '\n'
      << "lineBMode: " << static_cast<unsigned>(s.lineBMode) << " (" << ModeName(s.lineBMode) << ")\n"
      << "lineBValue: " << s.lineBValue << '\n'
      << "checksum: 0x" << FormatHex(static_cast<unsigned>(s.image[14] | (s.image[15] << 8)), 4)
      << (file.checksumValid ? " (valid)" : " (invalid)") << '\n';
  out.flush();
  if (!out) return Fail(err, "cannot write to standard output");
  if (!file.checksumValid)
    return Fail(err, Narrow(args[0]) + " has an invalid settings checksum: its flights open with the default settings");
  return 0;
}

}  // namespace tev::tool
