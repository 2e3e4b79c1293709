#pragma once
// The picture tevtool plot writes: the window's plot, painted by the window's own painters into
// a panel of the picture, with what a printed picture needs around it: a time axis in seconds,
// an altitude axis on the left and a velocity scale on the right (in the chosen units), ticks,
// labels and a caption.
#include <span>
#include <string>
#include <vector>

#include "model/DataSet.h"
#include "model/PlotScale.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/TimedCurve.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

// Where the window's plot goes in a picture of the given size.
struct PicturePanel {
  int x = 0, y = 0, width = 0, height = 0;
};
PicturePanel PanelOf(int pictureWidth, int pictureHeight);

inline constexpr int kSmallestPicture = 320;
inline constexpr int kLargestPicture = 8000;
inline constexpr int kDefaultPictureWidth = 1200;
inline constexpr int kDefaultPictureHeight = 800;

// Values from lo to hi (either order) at a round step (1, 2 or 5 times a power of ten) giving
// at most maxTicks of them.
std::vector<double> TickValues(double lo, double hi, int maxTicks);

// An altitude curve drawn over a picture, with a line of its own in the picture's legend.
struct PictureCurve {
  std::wstring label;
  Argb color = 0;
  bool dashed = false;
  TimedCurve points;
};

// A simulation's curve: black and dashed, apart from every flight's.
inline constexpr Argb kSimulationInk = 0xFF000000;

// Paints the set into the panel as the window would at that size (scale's width and height are
// set to the panel's), then the axes, scales and caption in the picture's margins. Curves are
// drawn over the flight (the scale grows to hold them) and named in a legend with the flight's
// own altitude.
void DrawFlightPicture(SvgCanvas& canvas, const DataSet& set, PlotScale scale, const Units& units,
                       const std::wstring& caption, std::span<const PictureCurve> curves = {});

// Curves alone, on white, with a time axis from launch, an altitude axis and a legend: the
// altitudes of several flights, each from its own launch.
void DrawOverlayPicture(SvgCanvas& canvas, std::span<const PictureCurve> curves, const Units& units,
                        const std::wstring& caption);

// "NAME, data set N: apogee A at T s" in the chosen units (data sets counted from 1, as the window's
// legend counts them).
std::wstring PictureCaption(const std::string& fileName, const DataSet& set, const Units& units);

}  // namespace tev::tool
