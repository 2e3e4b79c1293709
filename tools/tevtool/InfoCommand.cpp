// tevtool info FILE.tev: what a data file holds.
#include <cstdio>
#include <vector>

#include "model/NumberFormat.h"
#include "tools/tevtool/CommandLine.h"

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
  constexpr char kUsage[] = "usage: tevtool info FILE.tev";
  const auto line = CommandLine::Parse(args, {}, 1, kUsage, err);
  if (!line) return 1;
  if (!line->Positional(0)) return Fail(err, kUsage);
  const std::wstring& path = *line->Positional(0);
  LoadedFile file;
  if (!LoadForTool(path, file, err)) return 1;

  const PacketList& packets = file.packets;
  const DeviceSettings& s = file.settings;
  // One pass over the list: a file may hold tens of thousands of sets.
  const std::vector<int> starts = FindSetStarts(packets);
  out << "file: " << Narrow(path) << '\n';
  out << "packets: " << packets.size() << '\n';
  out << "sets: " << starts.size() << '\n';
  for (std::size_t set = 0; set < starts.size(); ++set)
    out << "set " << SetName(static_cast<int>(set)) << ": first packet " << starts[set] << ", " << CountSetSamples(packets, starts[set])
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
    return Fail(err, Narrow(path) + " has an invalid settings checksum: its flights open with the default settings");
  return 0;
}

}  // namespace tev::tool
