#pragma once
// The command line of altimeter-sim.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimConfig.h"
#include "sim/SimPort.h"
#include "sim/SimState.h"

namespace tev {

struct AltimeterSimOptions {
  SimConfig config;
  std::vector<SimFault> faults;
  // The sample flights its memory holds, by name; "full" fills all 128 packets.
  std::vector<std::string> flights = {"hop", "park", "sport", "high"};
  std::uint16_t port = kDefaultSimPort;
  std::uint32_t emulationPeriodMs = 100;  // launch emulation: between two readings asked for
  std::optional<std::uint16_t> adcCount;       // the pressure sensor's reading; unset: the sim's own
  std::optional<std::uint16_t> batteryTenths;  // the battery in tenths of a volt; unset: the sim's own
  std::uint32_t settingsWriteMs = 0;           // a settings write confirms this long after its bytes
  bool badSettingsChecksum = false;            // the settings block fails its checksum
  std::uint32_t bootloaderDelayMs = 0;    // fault: the bootloader answers this much later
  std::string dumpMemory;                  // file for the memory's packets, written at start
  std::string programmedImage;             // file for the bootloader's programmed image, written at exit
  bool startPlugged = true;
  bool help = false;
  std::string error;  // not empty: the command line was refused, and why
};

// args without the program name; envPort is TEV_SIM_PORT (may be null).
AltimeterSimOptions ParseAltimeterSimOptions(const std::vector<std::string>& args, const char* envPort);

// What the options set in the device's state: sensor, battery, settings-write pace, and a broken
// settings block (its checksum off by one, the settings themselves as they were).
void ApplyStateOptions(const AltimeterSimOptions& options, SimState& state);

extern const char kAltimeterSimUsage[];

}  // namespace tev
