#pragma once
// The flight plot: altitude above ground and velocity against time, and the live trace of a
// running download. The painters keep nothing between calls; they draw what they are given, with
// pens, fonts and distances at the scale's DPI (plot/PlotStyle.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/DataSet.h"
#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"
#include "model/LiveTrace.h"
#include "plot/Canvas.h"
#include "model/PlotScale.h"

namespace tev {

struct PlotPen {
  Argb color = 0;
  float width = 0;
};

// Rebuilds `set` from set number `setNumber` of the packets and sets the scale's ranges from it
// (width and height are left as they are).
void PreparePlot(const PacketList& packets, const DeviceSettings& settings, DataSet& set, PlotScale& scale,
                 int setNumber);

// The ranges alone, from a data set already built.
void ScalePlot(const DataSet& set, PlotScale& scale);

// The units the apogee and peak velocity labels are written in. The curves stay in metres and
// km/h on one scale; only the labels' numbers and units change (a picture in feet asks for feet,
// the window keeps metres).
struct PeakUnits {
  std::wstring altitude = L"m";
  double altitudePerMetre = 1.0;
  std::wstring speed = L"km/h";
  double speedPerKmh = 1.0;
};

// Paints the data set; draws nothing but the background when the canvas has no surface.
void PaintPlot(Canvas& canvas, const DataSet& set, PlotScale& scale, const PeakUnits& units = {});

// Copies the trace's ranges into the scale and paints the trace.
void PaintLiveTrace(Canvas& canvas, const LiveTrace& trace, PlotScale& scale);

// A polyline through the samples (sample i at i / 10 s) and, with dotColor, a dot on each but the first.
// The pen is drawn as given; the dots' size follows the scale's DPI.
void DrawSeries(Canvas& canvas, const PlotScale& scale, const std::vector<double>& series,
                std::optional<PlotPen> pen, std::optional<Argb> dotColor);

// Thick bars on the ground line where only Line A (red) or only Line B (blue) was active.
void DrawLineMarks(Canvas& canvas, const PlotScale& scale, const DataSet& set);

// One annotation in the bold label font (12 points at 96 DPI), anchored at its top-left corner.
void DrawLabel(Canvas& canvas, const PlotScale& scale, std::wstring_view text, Argb color, int x, int y);

}  // namespace tev
