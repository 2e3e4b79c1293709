// The data file reader on any bytes. What it accepts must survive the program's own road: every
// set built and exported, saved, opened again, with the same packets and the same CSV.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"

namespace {

std::string Csv(const tev::PacketList& packets, const tev::DeviceSettings& settings, int set) {
  tev::DataSet data;
  tev::BuildDataSet(packets, data, tev::FindSetStart(packets, set), settings, set);
  std::string csv;
  tev::WriteCsv(data, [&](std::string_view bytes) { return csv.append(bytes), true; });
  return csv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (tev::SetDebugLogSink({}), true);
  (void)silenced;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  tev::PacketList packets;
  tev::DeviceSettings settings;
  if (!tev::LoadDataSet(bytes, packets, settings)) return 0;
  FUZZ_CHECK(tev::CountSets(packets) > 0);

  for (int set = 0; set < tev::CountSets(packets); ++set) {
    const int start = tev::FindSetStart(packets, set);
    const int count = tev::CountSetPackets(packets, set);
    FUZZ_CHECK(start >= 0 && count >= 1 && static_cast<std::size_t>(start + count) <= packets.size());
    const std::string csv = Csv(packets, settings, set);

    const auto saved = tev::EncodeDataSetFile(packets, settings, set);
    FUZZ_CHECK(saved.has_value());
    FUZZ_CHECK(saved->size() == 42 + 64 * static_cast<std::size_t>(count));
    tev::PacketList reopened;
    tev::DeviceSettings reopenedSettings;
    FUZZ_CHECK(tev::LoadDataSet(*saved, reopened, reopenedSettings));
    FUZZ_CHECK(reopened.size() == static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) FUZZ_CHECK(reopened[i].bytes == packets[static_cast<std::size_t>(start + i)].bytes);
    FUZZ_CHECK(reopenedSettings.image == settings.image);
    FUZZ_CHECK(Csv(reopened, reopenedSettings, 0) == csv);
    // A saved file saves again to the same bytes.
    FUZZ_CHECK(tev::EncodeDataSetFile(reopened, reopenedSettings, 0) == saved);
  }
  return 0;
}
