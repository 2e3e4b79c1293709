#include "tools/tevtool/SetPicture.h"

#include <vector>

#include "plot/PlotView.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/SimulationFigures.h"

namespace tev::tool {

void DrawSetPicture(SvgCanvas& canvas, const DataSet& data, const Units& units, const std::wstring& caption,
                    const Simulation* simulation, std::optional<double> launchSeconds) {
  PlotScale scale;
  ScalePlot(data, scale);
  std::vector<PictureCurve> curves;
  if (simulation) curves.push_back(SimulationCurve(*simulation, launchSeconds.value_or(0)));
  DrawFlightPicture(canvas, data, scale, units, caption, curves);
}

}  // namespace tev::tool
