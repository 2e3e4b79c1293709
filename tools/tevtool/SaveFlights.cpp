#include "tools/tevtool/SaveFlights.h"

#include "model/DataFile.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {

SavedFlights SaveFlights(const PacketList& packets, const DeviceSettings& settings, const std::wstring& folder,
                         bool downloadFinished, std::ostream& out, std::ostream& err) {
  SavedFlights result;
  const int sets = CountSets(packets);
  for (int set = 0; set < sets; ++set) {
    const bool cutOff = !downloadFinished && set == sets - 1;
    const std::wstring path =
        folder + L"/flight-" + std::to_wstring(set + 1) + (cutOff ? L".partial.tev" : L".tev");
    if (!SaveDataSetFile(packets, settings, set, path)) {
      Fail(err, "cannot write " + Narrow(path));
      ++result.failed;
      continue;
    }
    out << Narrow(path) << '\n';
    ++result.saved;
    if (cutOff) {
      result.partialPath = path;
      result.partialPackets = CountSetPackets(packets, set);
    }
  }
  return result;
}

std::string PartialFlightText(const SavedFlights& flights) {
  if (flights.partialPath.empty()) return "";
  const std::string count = std::to_string(flights.partialPackets);
  return "the flight cut off is in " + Narrow(flights.partialPath) + " (" + count +
         (flights.partialPackets == 1 ? " packet)" : " packets)");
}

}  // namespace tev::tool
