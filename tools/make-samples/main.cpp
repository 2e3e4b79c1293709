// make-samples: flies the simulated altimeter's sample flights and saves each as a data file
// (NAME.tev) in the folder given, exactly as a download from the device would be saved.
#include <cstdio>
#include <filesystem>
#include <string>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/DeviceSettings.h"
#include "model/WidePath.h"
#include "sim/FlightModel.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make-samples FOLDER\n", stderr);
    return 2;
  }
  tev::SetDebugLogSink({});  // the data-file writer's diagnostics are not wanted here
  const std::filesystem::path folder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  const tev::DeviceSettings settings;  // the factory settings the flights were flown with
  const auto flightSettings = tev::sim::FlightSettings::FromImage(settings.image);
  int written = 0;
  std::uint8_t tag = 1;
  for (const auto& profile : tev::sim::SampleFlightProfiles()) {
    const tev::PacketList packets =
        tev::sim::RecordFlight(tev::sim::FlyFlight(profile), flightSettings, tag++, tev::sim::kMemoryPackets);
    const std::filesystem::path path = folder / (profile.name + ".tev");
    if (!tev::SaveDataSetFile(packets, settings, 0, tev::Utf8ToWide(path.string()))) {
      std::fprintf(stderr, "make-samples: cannot write %s\n", path.string().c_str());
      return 1;
    }
    ++written;
  }
  std::fprintf(stderr, "make-samples: %d flights written to %s\n", written, folder.string().c_str());
  return 0;
}
