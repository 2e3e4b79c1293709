#pragma once
// One set's picture, as plot writes it and the report shows it for each flight.
#include <optional>
#include <string>

#include "model/DataSet.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/SimulationFile.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

// The set scaled as the window scales it, with the simulation's altitude over it from the
// flight's launch (from 0 when it has none) when a simulation is given.
void DrawSetPicture(SvgCanvas& canvas, const DataSet& data, const Units& units, const std::wstring& caption,
                    const Simulation* simulation, std::optional<double> launchSeconds);

}  // namespace tev::tool
