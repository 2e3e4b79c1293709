#pragma once
// A known flight for the driver's checks, and the command-line export it is compared with.
#include <string>

namespace tev::driver {

// A data file of one flight: boost, coast, apogee with Line A, descent with Line B.
bool WriteSampleFlight(const std::wstring& path);

// `tevtool csv <data file> -o <csv file>`; true when it ran and succeeded.
bool RunTevtoolCsv(const std::wstring& tevtool, const std::wstring& dataFile, const std::wstring& csvFile);

}  // namespace tev::driver
