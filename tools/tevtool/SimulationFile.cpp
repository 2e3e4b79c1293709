#include "tools/tevtool/SimulationFile.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>

#include "model/WidePath.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

// A larger file is no simulation of a model rocket flight; refusing it keeps memory bounded.
constexpr std::uintmax_t kLargestFile = 64u << 20;

struct Unit {
  const char* name;
  double toSi;  // to seconds, metres or m/s
};
constexpr Unit kTimeUnits[] = {{"s", 1.0}};
constexpr Unit kAltitudeUnits[] = {{"m", 1.0}, {"ft", 0.3048}, {"km", 1000.0}};
constexpr Unit kSpeedUnits[] = {{"m/s", 1.0}, {"ft/s", 0.3048}, {"km/h", 1 / 3.6}, {"mph", 0.44704}};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = Trim(text.substr(1, text.size() - 2));
  return text;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = line.find(separator, from);
    fields.push_back(Trim(line.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from)));
    if (at == std::string_view::npos) return fields;
    from = at + 1;
  }
}

// A header field: its name and the unit in parentheses or brackets after it, if any.
struct HeaderField {
  std::string name;  // lower case
  std::optional<std::string> unit;
};

HeaderField ReadHeaderField(std::string_view field) {
  for (const auto& [open, close] : {std::pair{'(', ')'}, std::pair{'[', ']'}}) {
    const std::size_t o = field.rfind(open);
    if (o != std::string_view::npos && field.back() == close)
      return {Lower(Trim(field.substr(0, o))), std::string(Trim(field.substr(o + 1, field.size() - o - 2)))};
  }
  return {Lower(field), std::nullopt};
}

// Plain decimal numbers only: no "nan", no "inf", no decimal comma.
std::optional<double> ReadNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || (text.front() != '-' && text.front() != '.' && (text.front() < '0' || text.front() > '9')))
    return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

struct Column {
  const char* title;  // as said in messages
  std::optional<std::size_t> index;
  double toSi = 1;
};

class Reader {
 public:
  explicit Reader(SimulationProblem& problem) : problem_(problem) {}

  std::optional<Simulation> Read(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
      std::size_t end = text.find('\n', from);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(from, end - from);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(line);
      from = end + 1;
    }
    const auto isComment = [](std::string_view line) { return !line.empty() && line.front() == '#'; };
    const auto isBlank = [](std::string_view line) { return Trim(line).empty(); };

    std::size_t first = 0;  // the first line that is neither a comment nor blank
    std::optional<std::size_t> lastComment;
    while (first < lines.size() && (isComment(lines[first]) || isBlank(lines[first]))) {
      if (isComment(lines[first])) lastComment = first;
      ++first;
    }
    if (first == lines.size()) return Fail(lastComment ? static_cast<int>(*lastComment) + 1 : 1,
                                           lines.empty() || !lastComment ? "the file is empty" : "no header and no data");

    std::size_t header = first, data = first + 1;
    if (lastComment && Names(lines[*lastComment].substr(1))) {
      header = *lastComment;
      data = first;
    }
    std::string_view headerText = lines[header];
    if (isComment(headerText)) headerText.remove_prefix(1);
    separator_ = headerText.find(';') != std::string_view::npos ? ';' : ',';
    if (!ReadHeader(headerText, static_cast<int>(header) + 1)) return std::nullopt;

    Simulation sim;
    for (std::size_t i = data; i < lines.size(); ++i) {
      if (isComment(lines[i]) || isBlank(lines[i])) continue;
      if (!ReadRow(lines[i], static_cast<int>(i) + 1, sim)) return std::nullopt;
    }
    if (sim.seconds.empty()) return Fail(static_cast<int>(header) + 1, "no data after the header");
    return sim;
  }

 private:
  std::nullopt_t Fail(int line, std::string reason) {
    problem_ = {line, std::move(reason)};
    return std::nullopt;
  }

  // Whether a line names both a time and an altitude column.
  bool Names(std::string_view line) const {
    bool time = false, altitude = false;
    for (const auto field : Split(line, line.find(';') != std::string_view::npos ? ';' : ',')) {
      const std::string name = ReadHeaderField(field).name;
      time = time || name == "time";
      altitude = altitude || name == "altitude";
    }
    return time && altitude;
  }

  template <std::size_t N>
  bool Find(const std::vector<std::string_view>& fields, const char* name, Column& column, const Unit (&units)[N],
            int line) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const HeaderField field = ReadHeaderField(fields[i]);
      if (field.name != name) continue;
      if (!field.unit) return Fail(line, std::string("the ") + column.title + " column gives no unit"), false;
      for (const Unit& unit : units) {
        if (Lower(*field.unit) == unit.name) {
          column.index = i;
          column.toSi = unit.toSi;
          return true;
        }
      }
      return Fail(line, std::string("unknown unit '") + *field.unit + "' for the " + column.title + " column"), false;
    }
    return true;
  }

  bool ReadHeader(std::string_view text, int line) {
    const auto fields = Split(text, separator_);
    if (!Find(fields, "time", time_, kTimeUnits, line) || !Find(fields, "altitude", altitude_, kAltitudeUnits, line) ||
        !Find(fields, "vertical velocity", velocity_, kSpeedUnits, line))
      return false;
    if (!time_.index) return Fail(line, "no Time column in the header"), false;
    if (!altitude_.index) return Fail(line, "no Altitude column in the header"), false;
    return true;
  }

  std::optional<double> Field(const std::vector<std::string_view>& fields, const Column& column, int line) {
    if (*column.index >= fields.size())
      return Fail(line, std::string("the row has no ") + column.title + " field");
    const auto value = ReadNumber(fields[*column.index]);
    if (!value) return Fail(line, std::string("the ") + column.title + " field is not a number: '" +
                                      std::string(fields[*column.index]) + "'");
    return *value * column.toSi;
  }

  bool ReadRow(std::string_view text, int line, Simulation& sim) {
    const auto fields = Split(text, separator_);
    const auto t = Field(fields, time_, line);
    if (!t) return false;
    const auto h = Field(fields, altitude_, line);
    if (!h) return false;
    std::optional<double> v;
    if (velocity_.index && !(v = Field(fields, velocity_, line))) return false;
    if (!sim.seconds.empty() && *t < sim.seconds.back())
      return Fail(line, "time goes backwards: " + std::string(fields[*time_.index]) + " after " + previousTime_), false;
    previousTime_ = fields[*time_.index];
    sim.seconds.push_back(*t);
    sim.metres.push_back(*h);
    if (v) sim.metresPerSecond.push_back(*v);
    return true;
  }

  SimulationProblem& problem_;
  char separator_ = ',';
  std::string previousTime_;
  Column time_{"Time", std::nullopt}, altitude_{"Altitude", std::nullopt}, velocity_{"Vertical velocity", std::nullopt};
};

}  // namespace

std::optional<Simulation> ParseSimulation(std::string_view text, SimulationProblem& problem) {
  return Reader(problem).Read(text);
}

bool LoadSimulation(const std::wstring& path, Simulation& sim, std::ostream& err) {
  const std::string name = Narrow(path);
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(path), ec);
  if (!ec && size > kLargestFile) return Fail(err, name + " is too large for a simulation (over 64 MB)"), false;
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return Fail(err, "cannot open " + name), false;
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Fail(err, "cannot read " + name), false;
  SimulationProblem problem;
  auto parsed = ParseSimulation(text, problem);
  if (!parsed) return Fail(err, name + " line " + std::to_string(problem.line) + ": " + problem.reason), false;
  sim = std::move(*parsed);
  sim.name = DisplayName(path);
  return true;
}

}  // namespace tev::tool
