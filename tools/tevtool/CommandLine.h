#pragma once
// The arguments of one command, read the same way by every command: options that take a value
// (-o FILE, --units m), switches (--json), and everything else as positionals in order, so that
// a file may have any name that is not an option's.
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tools/tevtool/Tool.h"
#include "tools/tevtool/Units.h"

namespace tev::tool {

struct Option {
  const wchar_t* name;
  bool takesValue = true;
  // Said when the value is missing; the command's usage line when empty.
  const char* missingValue = nullptr;
};

inline constexpr Option kUnitsOption{L"--units", true, "--units takes m or ft"};

class CommandLine {
 public:
  static constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

  // Fails with one line on err (the usage line unless an option says otherwise) on an option
  // given twice, an option without its value, or more than maxPositionals positionals.
  static std::optional<CommandLine> Parse(const Args& args, std::initializer_list<Option> options,
                                          std::size_t maxPositionals, const char* usage, std::ostream& err);

  const std::vector<std::wstring>& Positionals() const { return positionals_; }
  const std::wstring* Positional(std::size_t index) const {
    return index < positionals_.size() ? &positionals_[index] : nullptr;
  }
  std::optional<std::wstring> Value(const wchar_t* name) const;
  bool Has(const wchar_t* name) const { return given_.count(name) != 0; }

  // --units m|ft, metric when not given; false after one line on err.
  bool ReadUnits(Units& units, std::ostream& err) const;

 private:
  std::vector<std::wstring> positionals_;
  std::map<std::wstring, std::wstring> values_;
  std::set<std::wstring> given_;
};

// The set typed (counted from 1) as the code counts it (from 0), or `fallback` when none was
// typed; false after one line on err.
bool ReadSetNumber(const std::wstring* text, std::optional<int> fallback, std::optional<int>& set, std::ostream& err);

}  // namespace tev::tool
