// The argument reader the command-line tools share.
#include "tools/common/Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tev {
namespace {

ArgumentKind KindOf(const std::string& text) {
  if (text == "-o") return ArgumentKind::Valued;
  return text == "-v" ? ArgumentKind::Switch : ArgumentKind::Positional;
}

std::string Read(const std::vector<std::string>& args) {
  std::string read;
  for (const Argument<std::string>& a : ReadArguments(args, KindOf)) {
    read += a.kind == ArgumentKind::Positional ? "P:" : a.kind == ArgumentKind::Switch ? "S:" : "V:";
    read += a.text;
    if (a.value) read += "=" + *a.value;
    read += ' ';
  }
  return read;
}

TEST(Arguments, OptionsTheirValuesAndPositionalsInOrder) {
  const struct {
    std::vector<std::string> args;
    std::string read;
  } cases[] = {
      {{}, ""},
      {{"a", "-v", "b"}, "P:a S:-v P:b "},
      {{"-o", "out", "-o", "again"}, "V:-o=out V:-o=again "},  // repeats are the tool's to refuse
      {{"-o", "-v", "-v"}, "V:-o=-v S:-v "},                    // a value is taken whole
      {{"--other", "-"}, "P:--other P:- "},
      {{"a", "-o"}, "P:a V:-o "},  // the last option without its value
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.args), c.read);
}

}  // namespace
}  // namespace tev
