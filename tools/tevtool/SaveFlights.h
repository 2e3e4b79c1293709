#pragma once
// The flights of one download, each saved as a data file of its own.
#include <ostream>
#include <string>

#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"

namespace tev::tool {

struct SavedFlights {
  int saved = 0;   // files written, the partial one included
  int failed = 0;  // files that could not be written (each told on err)
  std::wstring partialPath;  // empty when no flight was cut off
  int partialPackets = 0;
};

// Saves every set of packets as FOLDER/flight-N.tev (N from 1) and names each file on out. After a
// download that did not finish, the last set was cut off (its end was never read): it is saved as
// FOLDER/flight-N.partial.tev, so that no file under a final name holds a cut-off flight.
SavedFlights SaveFlights(const PacketList& packets, const DeviceSettings& settings, const std::wstring& folder,
                         bool downloadFinished, std::ostream& out, std::ostream& err);

// "flight N was cut off: PATH holds K packets", for the error line of a failed download.
std::string PartialFlightText(const SavedFlights& flights);

}  // namespace tev::tool
