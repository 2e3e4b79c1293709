// The flight picture of `tevtool plot FILE [SET] -o OUT.svg [--units ft]`, made for the page.
#include <emscripten.h>

#include <sstream>
#include <string>

#include "model/WidePath.h"
#include "plot/PlotView.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/FlightPicture.h"
#include "tools/tevtool/Tool.h"
#include "tools/tevtool/Units.h"

namespace {

std::string picture, problem;

}  // namespace

extern "C" {

// The SVG of set `set` of the data file at `path`, or empty with the reason in tev_plot_problem().
EMSCRIPTEN_KEEPALIVE const char* tev_plot(const char* path, int set, int feet, int width, int height) {
  using namespace tev;
  using namespace tev::tool;
  picture.clear();
  std::ostringstream err;
  const std::wstring input = Utf8ToWide(path);
  FlightFile flight;
  if (LoadFlightFile(input, flight, err) && CheckSetExists(flight, set, err)) {
    const Units units = feet ? kImperial : kMetric;
    DataSet data;
    PlotScale scale;
    PreparePlot(flight.file.packets, flight.used, data, scale, set);
    SvgCanvas canvas(width > 0 ? width : kDefaultPictureWidth, height > 0 ? height : kDefaultPictureHeight);
    DrawFlightPicture(canvas, data, scale, units, PictureCaption(DisplayName(input), data, units));
    picture = canvas.Document();
  }
  problem = err.str();
  return picture.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* tev_plot_problem() { return problem.c_str(); }

}  // extern "C"
