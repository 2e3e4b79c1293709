// The simulated altimeter's command handling on any sequence of output reports, in either
// personality: no report, however odd, makes it answer with a malformed report or without end.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "device/HidReport.h"
#include "sim/SimAltimeter.h"
#include "sim/SimBootloader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  tev::SimConfig config;
  config.personality = (data[0] & 1) ? tev::Personality::Bootloader : tev::Personality::Application;
  config.reportIntervalMs = data[0] & 2;
  tev::SimAltimeter device(config);

  // Then reports, each a length byte (0 to 127) and that many bytes; a switch of personality
  // when the length byte's top bit is set.
  std::size_t at = 1;
  while (at < size) {
    const std::uint8_t head = data[at++];
    if (head & 0x80) {
      device.SwitchPersonality(device.Config().personality == tev::Personality::Application
                                   ? tev::Personality::Bootloader
                                   : tev::Personality::Application);
      continue;
    }
    const std::size_t length = std::min<std::size_t>(head, size - at);
    const tev::SimReaction reaction = device.OnOutputReport(data + at, length);
    at += length;
    const std::size_t expected = device.Config().personality == tev::Personality::Bootloader
                                     ? tev::SimBootloader::kReportLength
                                     : tev::kHidReportLength;
    // Replies are the personality's own reports, and a bounded number of them.
    FUZZ_CHECK(reaction.inputs.size() <= 64);
    for (const tev::SimInput& input : reaction.inputs) {
      FUZZ_CHECK(input.unplug || input.report.size() == expected);
      FUZZ_CHECK(input.delayMs <= 60000);
    }
    if (!reaction.accepted) FUZZ_CHECK(reaction.inputs.empty());
  }
  return 0;
}
