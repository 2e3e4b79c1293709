#pragma once
// A flight as parallel series, built from one set of the packet list.
#include <cstdint>
#include <vector>

#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"

namespace tev {

struct DataSet {
  std::vector<std::int32_t> adc;
  std::vector<double> volts;
  std::vector<double> pressure;
  std::vector<double> altitudeMsl;
  std::vector<double> altitudeAgl;
  std::vector<double> smoothedAltitude;
  std::vector<double> velocity;
  std::vector<double> smoothedVelocity;
  std::vector<double> velocityKmh;
  std::vector<std::uint8_t> lineFlags;
  std::int32_t setNumber = 0;
};

void ClearDataSet(DataSet& set);
void BuildDataSet(const PacketList& packets, DataSet& set, int firstPacket, const DeviceSettings& settings,
                  int setNumber);
// -1 when the data set is empty; otherwise the earliest index of the largest element of series.
int IndexOfMaximum(const DataSet& set, const std::vector<double>& series);

}  // namespace tev
