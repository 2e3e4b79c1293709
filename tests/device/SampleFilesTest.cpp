// The data files under samples/ are the generator's output: they must load as the program loads
// a saved flight, and still be what the flight model records today.
#include <gtest/gtest.h>

#include "model/DataFile.h"
#include "model/DataSet.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"
#include "sim/FlightModel.h"
#include "tests/support/LogCapture.h"

namespace tev {
namespace {

TEST(SampleFiles, LoadAsSavedFlightsAndMatchTheFlightModel) {
  QuietLog quiet;
  std::uint8_t tag = 1;
  for (const auto& profile : sim::SampleFlightProfiles()) {
    SCOPED_TRACE(profile.name);
    PacketList packets;
    DeviceSettings settings;
    ASSERT_TRUE(LoadDataSetFile(Utf8ToWide(std::string(TEV_SAMPLES_DIR "/") + profile.name + ".tev"), packets, settings));
    EXPECT_EQ(CountSets(packets), 1);
    EXPECT_EQ(settings.image, DeviceSettings().image);
    const PacketList fresh = sim::RecordFlight(sim::FlyFlight(profile), sim::FlightSettings::FromImage(settings.image),
                                               tag++, sim::kMemoryPackets);
    ASSERT_EQ(packets.size(), fresh.size());
    for (std::size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(packets[i].bytes, fresh[i].bytes) << i;

    DataSet set;
    BuildDataSet(packets, set, 0, settings, 0);
    EXPECT_GT(set.adc.size(), 100u);
    EXPECT_GT(set.altitudeAgl[IndexOfMaximum(set, set.altitudeAgl)], 50.0);
  }
}

}  // namespace
}  // namespace tev
