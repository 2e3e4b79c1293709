#include "tools/tevtool/FlightFile.h"

#include "model/DataFile.h"

namespace tev::tool {

DataSet FlightFile::Build(int set) const {
  DataSet data;
  BuildDataSet(file.packets, data, set >= 0 && set < Sets() ? starts[set] : -1, used, set);
  return data;
}

FlightFile MakeFlightFile(const std::wstring& path, PacketList packets, const DeviceSettings& settings) {
  FlightFile flight;
  flight.path = path;
  flight.file.packets = std::move(packets);
  flight.file.settings = settings;
  flight.file.checksumValid = true;
  flight.used = settings;
  flight.starts = FindSetStarts(flight.file.packets);
  return flight;
}

bool LoadFlightFile(const std::wstring& path, FlightFile& flight, std::ostream& err) {
  flight.path = path;
  if (!LoadForTool(path, flight.file, err)) return false;
  flight.starts = FindSetStarts(flight.file.packets);
  flight.usingDefaults = !flight.file.checksumValid;
  flight.used = SettingsInForce(flight.file.settings, flight.file.checksumValid);
  if (flight.usingDefaults) {
    err << "tevtool: " << Narrow(path) << " has an invalid settings checksum: using the default settings\n";
    err.flush();
  }
  return true;
}

bool CheckSetExists(const FlightFile& flight, int set, std::ostream& err) {
  const int sets = flight.Sets();
  if (set < sets) return true;
  Fail(err, "no set " + SetName(set) + " in " + Narrow(flight.path) + " (it holds " + std::to_string(sets) +
                (sets == 1 ? " set)" : " sets)"));
  return false;
}

std::string DisplayName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"/\\");
  return Narrow(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace tev::tool
