#include "tools/tevtool/Tool.h"

namespace tev::tool {

namespace {
const Command kCommands[] = {
    {"info", "FILE.tev", "packets, sets, settings and checksum of a data file", RunInfo},
    {"csv", "FILE.tev [SET] [-o OUT.csv]", "the CSV of set SET (counted from 1, default 1), to OUT or standard output", RunCsv},
    {"stats", "FILE.tev [SET] [--units m|ft] [--json]", "apogee, speeds, flight times and line firings of a set (default: each)", RunStats},
    {"plot", "FILE.tev [SET] -o FLIGHT.svg [--units m|ft] [--size WxH] [--sim SIM.csv]", "the flight as the window draws it, with axes, as SVG; with a simulation over it", RunPlot},
    {"report", "FILE.tev... [--sim SIM.csv] [--units m|ft] -o REPORT.html", "every flight's figures and plots, and how they compare with a simulation, as one web page", RunReport},
    {"download", "[-o DIR] [--sim PORT]", "every flight of an altimeter, saved as DIR/flight-N.tev", RunDownload},
};
}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace tev::tool
