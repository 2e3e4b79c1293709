#include "tools/tevtool/CommandLine.h"

#include "tools/common/Arguments.h"

namespace tev::tool {

std::optional<CommandLine> CommandLine::Parse(const Args& args, std::initializer_list<Option> options,
                                              std::size_t maxPositionals, const char* usage, std::ostream& err) {
  auto find = [&options](const std::wstring& text) -> const Option* {
    for (const Option& candidate : options)
      if (text == candidate.name) return &candidate;
    return nullptr;
  };
  CommandLine line;
  for (const Argument<std::wstring>& argument : ReadArguments(args, [&find](const std::wstring& text) {
         const Option* option = find(text);
         return !option ? ArgumentKind::Positional : option->takesValue ? ArgumentKind::Valued : ArgumentKind::Switch;
       })) {
    if (argument.kind == ArgumentKind::Positional) {
      if (line.positionals_.size() == maxPositionals) {
        Fail(err, usage);
        return std::nullopt;
      }
      line.positionals_.push_back(argument.text);
      continue;
    }
    const Option& option = *find(argument.text);
    if (!line.given_.insert(option.name).second) {
      Fail(err, usage);
      return std::nullopt;
    }
    if (argument.kind == ArgumentKind::Switch) continue;
    if (!argument.value) {
      Fail(err, option.missingValue ? option.missingValue : usage);
      return std::nullopt;
    }
    line.values_[option.name] = *argument.value;
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
