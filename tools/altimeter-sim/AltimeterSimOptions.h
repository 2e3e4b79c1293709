#pragma once
// The command line of altimeter-sim.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimConfig.h"

namespace tev {

struct AltimeterSimOptions {
  SimConfig config;
  std::vector<SimFault> faults;
  // The sample flights its memory holds, by name; "full" fills all 128 packets.
  std::vector<std::string> flights = {"hop", "park", "sport", "high"};
  std::uint16_t port = 47001;
  std::uint32_t emulationPeriodMs = 100;  // launch emulation: between two readings asked for
  std::uint32_t bootloaderDelayMs = 0;    // fault: the bootloader answers this much later
  std::string dumpMemory;                  // file for the memory's packets, written at start
  std::string programmedImage;             // file for the bootloader's programmed image, written at exit
  bool startPlugged = true;
  bool help = false;
  std::string error;  // not empty: the command line was refused, and why
};

// args without the program name; envPort is TEV_SIM_PORT (may be null).
AltimeterSimOptions ParseAltimeterSimOptions(const std::vector<std::string>& args, const char* envPort);

extern const char kAltimeterSimUsage[];

}  // namespace tev
