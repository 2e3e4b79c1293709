// No command writes over a flight: an output that is one of the inputs, under any name, or a
// picture, page or CSV named *.tev is refused with one line before anything is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/tevtool/BuiltFlight.h"
#include "tests/support/ToolRun.h"
#include "tools/tevtool/OutputCheck.h"

namespace tev {
namespace {

using testing::RunTevtool;
using testing::ToolRun;

class OutputCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_.Path() / "sub");
    for (const wchar_t* name : {L"hop.tev", L"sport.tev"})
      testing::SaveFlight(dir_, name, testing::BuiltFlight().Packets(), DeviceSettings());
    testing::WriteAll(dir_.File(L"sim.csv"), "Time (s),Altitude (m)\n0,0\n5,300\n60,0\n");
    for (const wchar_t* name : {L"hop.tev", L"sport.tev", L"sim.csv"}) before_.push_back(testing::ReadAll(dir_.File(name)));
  }
  std::wstring F(const std::wstring& name) const { return dir_.File(name); }
  // Every input holds what it held before.
  void ExpectInputsKept(const std::string& shown) const {
    int i = 0;
    for (const wchar_t* name : {L"hop.tev", L"sport.tev", L"sim.csv"})
      EXPECT_EQ(testing::ReadAll(F(name)), before_[i++]) << shown << ": " << tool::Narrow(name);
  }

  QuietLog quiet_;
  testing::TempDir dir_;
  std::vector<std::string> before_;
};

TEST_F(OutputCheckTest, AnOutputThatIsAnInputOrNamedLikeAFlightIsRefused) {
  struct Case {
    std::vector<std::wstring> args;
    const char* says;
  };
  const std::vector<Case> cases = {
      {{L"csv", F(L"hop.tev"), L"-o", F(L"hop.tev")}, "is one of the inputs"},
      {{L"csv", F(L"hop.tev"), L"-o", F(L"sub/../hop.tev")}, "is one of the inputs"},
      {{L"csv", F(L"hop.tev"), L"1", L"-o", F(L"./hop.tev")}, "is one of the inputs"},
      {{L"plot", F(L"sport.tev"), L"-o", F(L"sport.tev")}, "is one of the inputs"},
      {{L"plot", F(L"sport.tev"), L"--sim", F(L"sim.csv"), L"-o", F(L"sim.csv")}, "is one of the inputs"},
      {{L"report", F(L"hop.tev"), F(L"sport.tev"), L"-o", F(L"hop.tev")}, "is one of the inputs"},
      {{L"report", F(L"hop.tev"), L"--sim", F(L"sim.csv"), L"-o", F(L"sub/../sim.csv")}, "is one of the inputs"},
      // Another format under a flight's name: the report's own inputs, or a file not yet there.
      {{L"report", F(L"hop.tev"), F(L"sport.tev"), L"-o", F(L"new.tev")}, "ending in .tev"},
      {{L"report", F(L"hop.tev"), L"-o", F(L"sport.tev")}, "ending in .tev"},
      {{L"csv", F(L"hop.tev"), L"-o", F(L"hop-copy.TEV")}, "ending in .tev"},
      {{L"plot", F(L"hop.tev"), L"-o", F(L"picture.Tev")}, "ending in .tev"},
      {{L"plot", F(L"hop.tev"), L"-o", F(L"picture.tev. ")}, "ending in .tev"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += tool::Narrow(a) + " ";
    const ToolRun run = RunTevtool(c.args);
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_EQ(run.out, "") << shown;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << ": " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << shown << ": " << run.err;
    ExpectInputsKept(shown);
    for (const wchar_t* name : {L"new.tev", L"hop-copy.TEV", L"picture.Tev", L"picture.tev. "})
      EXPECT_FALSE(std::filesystem::exists(ToFsPath(F(name)))) << shown;
  }
}

TEST_F(OutputCheckTest, TheSameFileUnderALinkIsRefused) {
  std::error_code ec;
  std::filesystem::create_hard_link(ToFsPath(F(L"hop.tev")), ToFsPath(F(L"hop-link.csv")), ec);
  if (ec) GTEST_SKIP() << "no hard links here: " << ec.message();
  const ToolRun run = RunTevtool({L"csv", F(L"hop.tev"), L"-o", F(L"hop-link.csv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is one of the inputs"), std::string::npos) << run.err;
  ExpectInputsKept("hard link");
#ifndef _WIN32
  std::filesystem::create_symlink(ToFsPath(F(L"sport.tev")), ToFsPath(F(L"sub/sport.svg")));
  const ToolRun plot = RunTevtool({L"plot", F(L"sport.tev"), L"-o", F(L"sub/sport.svg")});
  EXPECT_EQ(plot.status, 1);
  EXPECT_NE(plot.err.find("is one of the inputs"), std::string::npos) << plot.err;
  ExpectInputsKept("symbolic link");
#endif
}

TEST_F(OutputCheckTest, NeighboursOfAFlightsNameAreWritten) {
  for (const wchar_t* name : {L"hop.tev.csv", L"hop.csv", L"tev", L"hop.tevx", L"hop_tev"}) {
    const ToolRun run = RunTevtool({L"csv", F(L"hop.tev"), L"-o", F(name)});
    EXPECT_EQ(run.status, 0) << tool::Narrow(name) << ": " << run.err;
    EXPECT_TRUE(std::filesystem::exists(ToFsPath(F(name)))) << tool::Narrow(name);
  }
  EXPECT_EQ(RunTevtool({L"plot", F(L"hop.tev"), L"-o", F(L"hop.tev.svg")}).status, 0);
  EXPECT_EQ(RunTevtool({L"report", F(L"hop.tev"), F(L"sport.tev"), L"-o", F(L"hop.html")}).status, 0);
  ExpectInputsKept("neighbours");
}

TEST(OutputName, EndsInTevWhateverTheCaseAndTheDotsAndBlanksWindowsDrops) {
  for (const wchar_t* name : {L"a.tev", L"A.TEV", L"dir/a.Tev", L"a.tev.", L"a.tev . ", L".tev"})
    EXPECT_TRUE(tool::NamesDataFile(name)) << tool::Narrow(name);
  for (const wchar_t* name : {L"a.csv", L"a.tev.csv", L"atev", L"a.te", L"tev", L"", L"a.tevv", L"..."})
    EXPECT_FALSE(tool::NamesDataFile(name)) << tool::Narrow(name);
}

}  // namespace
}  // namespace tev
