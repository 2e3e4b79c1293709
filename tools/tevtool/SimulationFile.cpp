#include "tools/tevtool/SimulationFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/RealNumber.h"
#include "model/WidePath.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

// A larger file (or stream: a pipe, a device) is no simulation of a model rocket flight; refusing
// it keeps memory bounded.
constexpr std::size_t kLargestFile = 64u << 20;

// Beyond this a time (s), an altitude (m) or a speed (m/s) is no model rocket's, and no picture
// or table could show it.
constexpr double kLargestValue = 1e6;

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

// The lines of a text one at a time; a line ends at \n, \r\n or a lone \r (old Mac files).
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    std::size_t end = text_.find_first_of("\r\n", at_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(at_, end - at_);
    at_ = end + (text_.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    ++number_;
    return true;
  }
  int Number() const { return number_; }  // of the line Next gave last, from 1

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  int number_ = 0;
};

// The fields of a line one at a time, trimmed: nothing is stored per field, so that a line of
// a million separators costs no more than its own bytes.
class Fields {
 public:
  Fields(std::string_view line, char separator) : line_(line), separator_(separator) {}
  bool Next(std::string_view& field) {
    if (done_) return false;
    const std::size_t end = line_.find(separator_, at_);
    field = Trim(line_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_));
    if (end == std::string_view::npos) done_ = true;
    else at_ = end + 1;
    return true;
  }

 private:
  std::string_view line_;
  char separator_;
  std::size_t at_ = 0;
  bool done_ = false;
};

char SeparatorOf(std::string_view header) { return header.find(';') != std::string_view::npos ? ';' : ','; }

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

// What text that is not UTF-8 is, when it can be told: such a file reads as garbage, so it is
// named rather than misread.
std::optional<std::string> ForeignEncoding(std::string_view text) {
  const auto starts = [&](std::string_view bom) { return text.substr(0, bom.size()) == bom; };
  if (starts(std::string_view("\xFF\xFE\0\0", 4)) || starts(std::string_view("\0\0\xFE\xFF", 4))) return "UTF-32";
  if (starts("\xFF\xFE") || starts("\xFE\xFF")) return "UTF-16";
  // Without a byte order mark: ASCII text in UTF-16 has a zero byte beside every character.
  const std::string_view head = text.substr(0, 4096);
  std::size_t evenZeros = 0, oddZeros = 0;
  for (std::size_t i = 0; i < head.size(); ++i)
    if (head[i] == '\0') ++(i % 2 ? oddZeros : evenZeros);
  if (evenZeros + oddZeros == 0) return std::nullopt;
  if (head.size() >= 4 && (evenZeros >= head.size() / 4 || oddZeros >= head.size() / 4) &&
      (evenZeros == 0 || oddZeros == 0))
    return "UTF-16";
  return "binary data, not text";
}

struct Column {
  const char* title;  // as said in messages
  std::optional<std::size_t> index;
  double toSi = 1;
  std::string_view field;  // the current row's
};

class Reader {
 public:
  explicit Reader(SimulationProblem& problem) : problem_(problem) {}

  std::optional<Simulation> Read(std::string_view text) {
    if (const auto encoding = ForeignEncoding(text))
      return Fail(1, *encoding == "binary data, not text" ? "the file holds " + *encoding
                                                          : "the file is " + *encoding + " text: save it as UTF-8");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const auto isComment = [](std::string_view line) { return !line.empty() && line.front() == '#'; };
    const auto isBlank = [](std::string_view line) { return Trim(line).empty(); };

    // The first line that is neither a comment nor blank, and the last comment before it.
    Lines lines(text);
    Lines atFirst = lines;
    std::string_view line, lastComment;
    int lastCommentNumber = 0;
    bool found = false;
    for (Lines before = lines; lines.Next(line); before = lines) {
      if (isComment(line)) {
        lastComment = line;
        lastCommentNumber = lines.Number();
      } else if (!isBlank(line)) {
        atFirst = before;
        found = true;
        break;
      }
    }
    if (!found)
      return Fail(lastCommentNumber ? lastCommentNumber : 1, lastCommentNumber ? "no header and no data" : "the file is empty");

    std::string_view header;
    int headerNumber = 0;
    if (lastCommentNumber && Names(lastComment.substr(1))) {
      header = lastComment.substr(1);
      headerNumber = lastCommentNumber;
      lines = atFirst;  // the data start at the first line
    } else {
      header = line;
      headerNumber = lines.Number();
    }
    separator_ = SeparatorOf(header);
    if (!ReadHeader(header, headerNumber)) return std::nullopt;

    Simulation sim;
    while (lines.Next(line)) {
      if (isComment(line) || isBlank(line)) continue;
      if (!ReadRow(line, lines.Number(), sim)) return std::nullopt;
    }
    if (sim.seconds.empty()) return Fail(headerNumber, "no data after the header");
    return sim;
  }

 private:
  std::nullopt_t Fail(int line, std::string reason) {
    problem_ = {line, std::move(reason)};
    return std::nullopt;
  }

  // Whether a line names both a time and an altitude column.
  static bool Names(std::string_view line) {
    bool time = false, altitude = false;
    Fields fields(line, SeparatorOf(line));
    for (std::string_view field; fields.Next(field);) {
      const std::string name = ReadHeaderField(field).name;
      time = time || name == "time";
      altitude = altitude || name == "altitude";
    }
    return time && altitude;
  }

  template <std::size_t N>
  bool TakeUnit(const HeaderField& field, std::size_t index, Column& column, const Unit (&units)[N], int line) {
    if (!field.unit) return Fail(line, std::string("the ") + column.title + " column gives no unit"), false;
    for (const Unit& unit : units) {
      if (Lower(*field.unit) == unit.name) {
        column.index = index;
        column.toSi = unit.toSi;
        return true;
      }
    }
    return Fail(line, std::string("unknown unit '") + *field.unit + "' for the " + column.title + " column"), false;
  }

  // The first column of each name counts.
  bool ReadHeader(std::string_view text, int line) {
    Fields fields(text, separator_);
    std::size_t index = 0;
    for (std::string_view f; fields.Next(f); ++index) {
      const HeaderField field = ReadHeaderField(f);
      if (field.name == "time" && !time_.index && !TakeUnit(field, index, time_, kTimeUnits, line)) return false;
      if (field.name == "altitude" && !altitude_.index && !TakeUnit(field, index, altitude_, kAltitudeUnits, line))
        return false;
      if (field.name == "vertical velocity" && !velocity_.index && !TakeUnit(field, index, velocity_, kSpeedUnits, line))
        return false;
    }
    if (!time_.index) return Fail(line, "no Time column in the header"), false;
    if (!altitude_.index) return Fail(line, "no Altitude column in the header"), false;
    return true;
  }

  std::optional<double> Value(const Column& column, bool present, int line) {
    if (!present) return Fail(line, std::string("the row has no ") + column.title + " field");
    const auto value = ReadReal(column.field);
    if (!value) return Fail(line, std::string("the ") + column.title + " field is not a number: '" +
                                      std::string(column.field) + "'");
    const double si = *value * column.toSi;
    if (!std::isfinite(si) || std::fabs(si) > kLargestValue)
      return Fail(line, std::string("the ") + column.title + " field is out of range: '" + std::string(column.field) + "'");
    return si;
  }

  static void Take(Column& column, std::string_view field, bool& taken) {
    column.field = field;
    taken = true;
  }

  bool ReadRow(std::string_view text, int line, Simulation& sim) {
    // Only the fields of the columns read, found in one walk that stops after the last of them.
    bool hasTime = false, hasAltitude = false, hasVelocity = false;
    const std::size_t last = std::max({*time_.index, *altitude_.index, velocity_.index.value_or(0)});
    Fields fields(text, separator_);
    std::size_t index = 0;
    for (std::string_view field; index <= last && fields.Next(field); ++index) {
      if (index == *time_.index) Take(time_, field, hasTime);
      if (index == *altitude_.index) Take(altitude_, field, hasAltitude);
      if (velocity_.index && index == *velocity_.index) Take(velocity_, field, hasVelocity);
    }
    const auto t = Value(time_, hasTime, line);
    if (!t) return false;
    const auto h = Value(altitude_, hasAltitude, line);
    if (!h) return false;
    std::optional<double> v;
    if (velocity_.index && !(v = Value(velocity_, hasVelocity, line))) return false;
    if (!sim.seconds.empty() && *t < sim.seconds.back())
      return Fail(line, "time goes backwards: " + std::string(time_.field) + " after " + previousTime_), false;
    previousTime_ = time_.field;
    sim.seconds.push_back(*t);
    sim.metres.push_back(*h);
    if (v) sim.metresPerSecond.push_back(*v);
    return true;
  }

  SimulationProblem& problem_;
  char separator_ = ',';
  std::string previousTime_;
  Column time_{"Time", {}, 1, {}}, altitude_{"Altitude", {}, 1, {}}, velocity_{"Vertical velocity", {}, 1, {}};
};

}  // namespace

std::optional<Simulation> ParseSimulation(std::string_view text, SimulationProblem& problem) {
  return Reader(problem).Read(text);
}

bool LoadSimulation(const std::wstring& path, Simulation& sim, std::ostream& err) {
  const std::string name = Narrow(path);
  std::error_code ec;
  if (std::filesystem::is_directory(ToFsPath(path), ec)) return Fail(err, name + " is a folder, not a simulation"), false;
  const UniqueFile file = OpenFile(ToFsPath(path), "rb");
  if (!file.Valid()) return Fail(err, "cannot open " + name), false;
  // Read up to the bound whatever the file is: a pipe or a device says nothing of its size.
  std::string text;
  // A file that says its size is read into room of that size, so memory stays at the data's.
  if (const auto size = std::filesystem::file_size(ToFsPath(path), ec); !ec)
    text.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kLargestFile + 1)));
  char chunk[1 << 16];
  while (text.size() <= kLargestFile) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.Get());
    text.append(chunk, got);
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file.Get())) return Fail(err, "cannot read " + name), false;
  if (text.size() > kLargestFile) return Fail(err, name + " is too large for a simulation (over 64 MB)"), false;
  SimulationProblem problem;
  auto parsed = ParseSimulation(text, problem);
  if (!parsed) return Fail(err, name + " line " + std::to_string(problem.line) + ": " + problem.reason), false;
  sim = std::move(*parsed);
  sim.name = DisplayName(path);
  return true;
}

}  // namespace tev::tool
