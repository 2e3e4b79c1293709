#include "sim/SimBootloader.h"

#include <gtest/gtest.h>

#include "tests/device/SimDevices.h"

namespace tev {
namespace {

using Report = std::vector<std::uint8_t>;

Report Out(std::initializer_list<std::uint8_t> head) {
  Report r(SimBootloader::kReportLength, 0);
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

TEST(SimBootloader, AnswersTheQueryAndProgramsWholeAlignedBlocksOnly) {
  auto sim = MakeSim(Personality::Bootloader);
  sim->SetVersions(0x0140, 0x0100, 0x0123);
  auto send = [&](const Report& r) { return sim->OnOutputReport(r.data(), r.size()); };

  SimReaction query = send(Out({0, 1}));
  ASSERT_EQ(query.inputs.size(), 1u);
  EXPECT_EQ(query.inputs[0].report.size(), 65u);
  EXPECT_EQ(query.inputs[0].report[1], 0x23);
  EXPECT_EQ(query.inputs[0].report[2], 0x01);

  // A block: command, address, data; only the data report is answered.
  Report data = Out({0});
  for (int i = 1; i <= 64; ++i) data[i] = static_cast<std::uint8_t>(i);
  EXPECT_TRUE(send(Out({0, 2})).inputs.empty());
  EXPECT_TRUE(send(Out({0, 0x40, 0x01})).inputs.empty());  // 0x0140 = block 5
  SimReaction ack = send(data);
  ASSERT_EQ(ack.inputs.size(), 1u);
  EXPECT_EQ(ack.inputs[0].report[1], 1);
  EXPECT_EQ(sim->State().programmedImage[0x140], 1);
  EXPECT_EQ(sim->State().programmedImage[0x17F], 64);
  EXPECT_EQ(sim->State().programmedImage[0x13F], 0xFF);

  // An address inside a block is refused and changes nothing.
  send(Out({0, 2}));
  send(Out({0, 0x20, 0x00}));
  SimReaction refused = send(data);
  ASSERT_EQ(refused.inputs.size(), 1u);
  EXPECT_EQ(refused.inputs[0].report[1], 0);
  EXPECT_EQ(sim->State().blocksProgrammed, 1);

  // Application-sized reports are not taken; unknown commands are taken and ignored.
  const Report shortReport(4, 0);
  EXPECT_FALSE(sim->OnOutputReport(shortReport.data(), shortReport.size()).accepted);
  SimReaction unknown = send(Out({0, 9}));
  EXPECT_TRUE(unknown.accepted);
  EXPECT_TRUE(unknown.inputs.empty());
}

TEST(SimBootloader, ASlowFlashDelaysEveryAnswerByItsTime) {
  auto sim = MakeSim(Personality::Bootloader);
  sim->State().bootloaderDelayMs = 250;
  auto send = [&](const Report& r) { return sim->OnOutputReport(r.data(), r.size()); };
  const SimReaction query = send(Out({0, 1}));
  ASSERT_EQ(query.inputs.size(), 1u);
  EXPECT_EQ(query.inputs[0].delayMs, 250u);
  send(Out({0, 2}));
  send(Out({0, 0x40, 0x00}));
  const SimReaction ack = send(Out({0, 7}));
  ASSERT_EQ(ack.inputs.size(), 1u);
  EXPECT_EQ(ack.inputs[0].delayMs, 250u);
  EXPECT_EQ(ack.inputs[0].report[1], 1) << "slow, not refused";
}

}  // namespace
}  // namespace tev
