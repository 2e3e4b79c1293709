// Writes the files the tevtool command-line test works on, into the current folder:
// flight.tev (a saved set), expected.csv (ExportCsv of that set), corrupt.tev (bad settings
// checksum), expected-defaults.csv (the set's CSV with the default settings, as corrupt.tev opens),
// empty.tev (a complete file without a flight) and notours.tev (not a data file).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/model/Flights.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"

int main() {
  using namespace tev;
  SetDebugLogSink({});
  PacketList packets;
  testing::AppendFlight(packets, testing::Readings(20, 700));
  std::vector<int> adc, flags;
  for (int i = 0; i < 300; ++i) {
    adc.push_back(i < 150 ? 836 - i * 2 : 536 + (i - 150));  // up, then down
    flags.push_back(i == 150 ? 2 : i == 200 ? 1 : i == 250 ? 3 : 0);
  }
  testing::AppendFlight(packets, adc, flags);
  DeviceSettings settings;
  settings.adcOffset = -5;
  settings.Pack();

  DataSet current;
  if (!SaveDataSetFile(packets, settings, 1, L"flight.tev") || !ExportCsv(packets, settings, current, 1, L"expected.csv") ||
      !ExportCsv(packets, DeviceSettings{}, current, 1, L"expected-defaults.csv")) {
    std::fputs("fixture: cannot write files\n", stderr);
    return 1;
  }
  std::ifstream in("flight.tev", std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  std::ofstream("empty.tev", std::ios::binary) << bytes.substr(0, 24) + std::string(2, '\0') + bytes.substr(bytes.size() - 16);
  bytes.back() ^= 0x10;
  std::ofstream("corrupt.tev", std::ios::binary) << bytes;
  std::ofstream("notours.tev", std::ios::binary) << "Time, ADC\n0,836\n";
  return 0;
}
