// The report page with names and a simulation from any bytes: the flight file's name, a line
// end, the simulation's name, a line end, the simulation's CSV. No byte of a name or of the CSV
// reaches the page as markup: the page has exactly the tags it has with plain names (a name
// shortened in a legend adds only its tooltip's <title>), every & starts one of the page's own
// entities, and the page is UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"
#include "tests/model/Flights.h"
#include "tools/tevtool/ReportBuilder.h"

namespace {

// A short flight that leaves the ground, so that the page has a plot, a caption and a legend.
const tev::tool::FlightFile& Flight() {
  static const tev::tool::FlightFile flight = [] {
    std::vector<int> adc;
    for (int i = 0; i < 12; ++i) adc.push_back(820);
    for (int i = 0; i < 30; ++i) adc.push_back(820 - 3 * i);
    for (int i = 0; i < 60; ++i) adc.push_back(730 + (3 * i) / 2);
    for (int i = 0; i < 10; ++i) adc.push_back(820);
    tev::PacketList packets;
    tev::testing::AppendFlight(packets, adc);
    return tev::tool::MakeFlightFile(L"flight.tev", packets, tev::DeviceSettings());
  }();
  return flight;
}

std::string Page(const std::string& flightName, const std::optional<tev::tool::Simulation>& sim) {
  tev::tool::ReportBuilder report(tev::tool::kMetric, sim);
  report.AddFlights(Flight(), flightName, "2026-05-01");
  return report.Page();
}

// Tags, not counting the <title> elements (two angle brackets each way) a shortened name may add.
std::size_t Count(std::string_view page, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = page.find(what); at != std::string_view::npos; at = page.find(what, at + 1)) ++n;
  return n;
}
std::size_t Tags(std::string_view page, char bracket) { return Count(page, std::string(1, bracket)) - 2 * Count(page, "<title"); }

bool EntitiesAreOurs(std::string_view page) {
  for (std::size_t at = page.find('&'); at != std::string_view::npos; at = page.find('&', at + 1)) {
    bool known = false;
    for (const std::string_view entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"})
      known = known || page.substr(at, entity.size()) == entity;
    if (!known) return false;
  }
  return true;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (tev::SetDebugLogSink({}), true);
  (void)silenced;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t first = input.find('\n');
  if (first == std::string_view::npos) return 0;
  const std::size_t second = input.find('\n', first + 1);
  if (second == std::string_view::npos) return 0;
  // Names as the command line gives them (bytes), shown as the tool shows them.
  const std::string flightName = tev::PathForDisplay(tev::PathBytesToWide(input.substr(0, first)));
  const std::string simName = tev::PathForDisplay(tev::PathBytesToWide(input.substr(first + 1, second - first - 1)));

  tev::tool::SimulationProblem problem;
  std::optional<tev::tool::Simulation> sim = tev::tool::ParseSimulation(input.substr(second + 1), problem);
  if (sim) sim->name = simName;
  const std::string page = Page(flightName, sim);

  std::optional<tev::tool::Simulation> plainSim = sim;
  if (plainSim) plainSim->name = "sim.csv";
  const std::string plain = Page("flight.tev", plainSim);
  FUZZ_CHECK(Tags(page, '<') == Tags(plain, '<'));
  FUZZ_CHECK(Tags(page, '>') == Tags(plain, '>'));
  FUZZ_CHECK(EntitiesAreOurs(page));
  FUZZ_CHECK(IsUtf8(page));
  return 0;
}
