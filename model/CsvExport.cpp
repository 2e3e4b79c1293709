#include "model/CsvExport.h"

#include <algorithm>
#include <string>

#include "model/NumberFormat.h"
#include "model/ReplacingFile.h"

namespace tev {
namespace {

constexpr char kHeader[] =
    "Time, ADC, Voltage, Pressure, Altitude (MSL), Altitude (AGL), Smooth Velocity (km/h), Line A, Line B\n";
constexpr std::size_t kChunk = 1 << 16;

}  // namespace

bool WriteCsv(const DataSet& set, const std::function<bool(std::string_view)>& write) {
  // Rows stop at the shortest series, so a data set filled by hand can never be read past its end.
  const std::size_t n = std::min({set.adc.size(), set.volts.size(), set.pressure.size(), set.altitudeMsl.size(),
                                  set.altitudeAgl.size(), set.velocityKmh.size(), set.lineFlags.size()});
  std::string text = kHeader;
  // About 60 characters a row; a long flight goes out in chunks.
  text.reserve(std::min(kChunk, n * 64) + 256);
  for (std::size_t i = 0; i < n; ++i) {
    text += FormatReal(static_cast<double>(i) * 0.1);
    text += ',';
    text += std::to_string(set.adc[i]);
    for (double value : {set.volts[i], set.pressure[i], set.altitudeMsl[i], set.altitudeAgl[i], set.velocityKmh[i]}) {
      text += ',';
      text += FormatReal(value);
    }
    text += (set.lineFlags[i] & 2) ? ",Line A" : ",";
    text += (set.lineFlags[i] & 1) ? ",Line B" : ",";
    text += '\n';
    if (text.size() >= kChunk) {
      if (!write(text)) return false;
      text.clear();
    }
  }
  return write(text);
}

bool ExportCsv(const PacketList& packets, const DeviceSettings& settings, DataSet& current, int set,
               const std::wstring& path) {
  ReplacingFile file(path);
  if (!file.IsOpen()) return false;
  if (set != -1) BuildDataSet(packets, current, FindSetStart(packets, set), settings, set);
  return WriteCsv(current, [&](std::string_view bytes) { return file.Write(bytes); }) && file.Commit();
}

}  // namespace tev
