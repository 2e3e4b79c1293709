#include "tools/tevtool/CommandLine.h"

namespace tev::tool {

std::optional<CommandLine> CommandLine::Parse(const Args& args, std::initializer_list<Option> options,
                                              std::size_t maxPositionals, const char* usage, std::ostream& err) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Option* option = nullptr;
    for (const Option& candidate : options)
      if (args[i] == candidate.name) option = &candidate;
    if (!option) {
      if (line.positionals_.size() == maxPositionals) {
        Fail(err, usage);
        return std::nullopt;
      }
      line.positionals_.push_back(args[i]);
      continue;
    }
    if (!line.given_.insert(option->name).second) {
      Fail(err, usage);
      return std::nullopt;
    }
    if (!option->takesValue) continue;
    if (i + 1 >= args.size()) {
      Fail(err, option->missingValue ? option->missingValue : usage);
      return std::nullopt;
    }
    line.values_[option->name] = args[++i];
  }
  return line;
}

std::optional<std::wstring> CommandLine::Value(const wchar_t* name) const {
  const auto found = values_.find(name);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

bool CommandLine::ReadUnits(Units& units, std::ostream& err) const {
  units = kMetric;
  const auto text = Value(L"--units");
  if (!text) return true;
  const auto parsed = ParseUnits(*text);
  if (!parsed) {
    Fail(err, "--units takes m or ft");
    return false;
  }
  units = *parsed;
  return true;
}

bool ReadSetNumber(const std::wstring* text, std::optional<int> fallback, std::optional<int>& set, std::ostream& err) {
  if (!text) {
    set = fallback;
    return true;
  }
  set = ParseSet(*text);
  if (!set || *set == 0) {
    Fail(err, "not a set number: " + Narrow(*text) + " (sets are numbered from 1)");
    return false;
  }
  --*set;
  return true;
}

}  // namespace tev::tool
