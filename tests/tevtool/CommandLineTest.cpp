// The one argument reader of every tevtool command.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/tevtool/CommandLine.h"

namespace tev::tool {
namespace {

struct Case {
  Args args;
  std::string err;  // empty: read
};

TEST(CommandLine, OptionsSwitchesAndPositionalsOrAOneLineReason) {
  const Case cases[] = {
      {{L"a.tev", L"-o", L"out", L"--json", L"1"}, ""},
      {{L"-o", L"--json"}, ""},  // a value is taken whole, even one that looks like an option
      {{L"--jsonx", L"-"}, ""},  // what no option is named is a positional
      {{L"a", L"b", L"c"}, "tevtool: usage\n"},
      {{L"--json", L"--json"}, "tevtool: usage\n"},
      {{L"-o", L"x", L"-o", L"y"}, "tevtool: usage\n"},
      {{L"a", L"-o"}, "tevtool: usage\n"},
      {{L"a", L"--units"}, "tevtool: --units takes m or ft\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream err;
    const auto line = CommandLine::Parse(c.args, {{L"-o"}, {L"--json", false}, kUnitsOption}, 2, "usage", err);
    EXPECT_EQ(line.has_value(), c.err.empty()) << err.str();
    EXPECT_EQ(err.str(), c.err);
  }
  std::ostringstream err;
  const auto line = CommandLine::Parse({L"a.tev", L"-o", L"--json", L"1"}, {{L"-o"}, {L"--json", false}}, 2, "usage", err);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->Positionals(), (std::vector<std::wstring>{L"a.tev", L"1"}));
  EXPECT_EQ(line->Value(L"-o"), L"--json");
  EXPECT_FALSE(line->Has(L"--json"));
  EXPECT_FALSE(line->Value(L"--units"));
}

TEST(CommandLine, UnitsAndSetNumbers) {
  std::ostringstream err;
  Units units;
  EXPECT_TRUE(CommandLine::Parse({}, {kUnitsOption}, 0, "usage", err)->ReadUnits(units, err));
  EXPECT_STREQ(units.name, "m");
  EXPECT_TRUE(CommandLine::Parse({L"--units", L"ft"}, {kUnitsOption}, 0, "usage", err)->ReadUnits(units, err));
  EXPECT_STREQ(units.name, "ft");
  EXPECT_FALSE(CommandLine::Parse({L"--units", L"yd"}, {kUnitsOption}, 0, "usage", err)->ReadUnits(units, err));
  EXPECT_EQ(err.str(), "tevtool: --units takes m or ft\n");

  std::optional<int> set;
  const std::wstring two = L"2", word = L"two";
  std::ostringstream setErr;
  EXPECT_TRUE(ReadSetNumber(nullptr, 0, set, setErr));
  EXPECT_EQ(set, 0);
  EXPECT_TRUE(ReadSetNumber(nullptr, std::nullopt, set, setErr));
  EXPECT_FALSE(set);
  // Typed from 1, counted from 0.
  EXPECT_TRUE(ReadSetNumber(&two, 0, set, setErr));
  EXPECT_EQ(set, 1);
  EXPECT_FALSE(ReadSetNumber(&word, 0, set, setErr));
  EXPECT_EQ(setErr.str(), "tevtool: not a set number: two (sets are numbered from 1)\n");
  const std::wstring zero = L"0";
  EXPECT_FALSE(ReadSetNumber(&zero, 0, set, setErr));
}

}  // namespace
}  // namespace tev::tool
