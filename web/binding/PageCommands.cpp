// The tevtool commands the page runs, on files of the module's own: a download is the page's
// (over WebHID), and the launch-day report is left to tevtool itself.
#include "tools/tevtool/Tool.h"

namespace tev::tool {

namespace {
const Command kCommands[] = {
    {"info", "FILE.tev", "packets, sets, settings and checksum of a data file", RunInfo},
    {"csv", "FILE.tev [SET] [-o OUT.csv]", "the CSV of set SET (default 0), to OUT or standard output", RunCsv},
    {"stats", "FILE.tev [SET] [--units m|ft] [--json]", "apogee, speeds, flight times and line firings of a set (default: each)", RunStats},
};
}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace tev::tool
