#include "tools/altimeter-sim/AltimeterSimOptions.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "sim/FlightModel.h"
#include "sim/SimPath.h"

namespace tev {

const char kAltimeterSimUsage[] =
    "usage: altimeter-sim [options]\n"
    "Plugs one simulated altimeter into a running TEV USB demo over the sim link.\n"
    "  --port N                  host port on 127.0.0.1 (default: TEV_SIM_PORT, else 47001)\n"
    "  --personality P           application or bootloader (default application)\n"
    "  --firmware-version V      application version (default 0x0140)\n"
    "  --bootloader-version V    bootloader version (default 0x0100)\n"
    "  --hardware-version V      hardware version (default 0x0120)\n"
    "  --vendor-id V             vendor id (default 0x1209)\n"
    "  --product-id V            product id (default: the personality's)\n"
    "  --serial S                up to 32 letters and digits (default 0001); each device on\n"
    "                            one host needs its own: a second one under a path is refused\n"
    "  --interval MS             time between two input reports (default 1)\n"
    "  --refuse-open             opening for I/O fails, as if another program held it\n"
    "  --unreadable-attributes   its attributes cannot be read\n"
    "  --withhold-accept N       output report N (from 0) is not taken\n"
    "  --withhold-reply N        input report N and the rest of its exchange are not sent\n"
    "  --replace-code N:C        input report N carries code C\n"
    "  --end-early N             input report N is a completion that ends its exchange\n"
    "  --unplug-after N          unplug after N input reports\n"
    "  --slow-bootloader MS      the bootloader answers each query and block MS later\n"
    "  --flights LIST            sample flights in its memory, comma-separated: hop, park,\n"
    "                            sport, high; or samples (all four, the default), full, none\n"
    "  --emulation-period MS     launch emulation: time between readings asked for (default 100)\n"
    "  --adc N                   the pressure sensor's reading, 0 to 1023 (default 836)\n"
    "  --battery N               the battery in tenths of a volt (default 90)\n"
    "  --settings-write-delay MS a settings write confirms MS after its last byte (default 0)\n"
    "  --bad-settings-checksum   the settings block fails its checksum\n"
    "  --dump-memory FILE        write the memory's packets to FILE (64 bytes each) at start\n"
    "  --programmed-image FILE   write what the bootloader programmed (65536 bytes) at exit\n"
    "  --unplugged               start unplugged\n"
    "Standard input: plug, unplug, switch [application|bootloader], quit.\n";

namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);  // 0x.. hexadecimal, else decimal
  if (*end != '\0' || text[0] == '-' || value > max) return false;
  out = value;
  return true;
}

}  // namespace

AltimeterSimOptions ParseAltimeterSimOptions(const std::vector<std::string>& args, const char* envPort) {
  AltimeterSimOptions o;
  if (envPort && *envPort) {
    std::string problem;
    o.port = ParseSimPort(envPort, problem);
    if (!problem.empty()) o.error = "TEV_SIM_PORT is not a port number: " + std::string(envPort);
  }

  auto word = [&](std::uint16_t& field) {
    return [&field](const std::string& v) {
      unsigned long x;
      if (!ParseNumber(v, 0xFFFF, x)) return false;
      field = static_cast<std::uint16_t>(x);
      return true;
    };
  };
  auto fault = [&o](SimFaultKind kind) {
    return [&o, kind](const std::string& v) {
      unsigned long x;
      if (!ParseNumber(v, 0xFFFFFFFF, x)) return false;
      o.faults.push_back({kind, static_cast<std::uint32_t>(x), 0});
      return true;
    };
  };
  std::uint16_t productId = 0;
  const std::map<std::string, std::function<bool(const std::string&)>> valued = {
      {"--port", [&](const std::string& v) { return word(o.port)(v) && o.port != 0; }},
      {"--personality",
       [&](const std::string& v) {
         if (v == "application") o.config.personality = Personality::Application;
         else if (v == "bootloader") o.config.personality = Personality::Bootloader;
         else return false;
         return true;
       }},
      {"--firmware-version", word(o.config.firmwareVersion)},
      {"--bootloader-version", word(o.config.bootloaderVersion)},
      {"--hardware-version", word(o.config.hardwareVersion)},
      {"--vendor-id", word(o.config.vendorId)},
      {"--product-id",
       [&](const std::string& v) {
         if (!word(productId)(v)) return false;
         o.config.productId = productId;
         return true;
       }},
      {"--serial",
       [&](const std::string& v) {
         if (!IsValidSimSerial(v)) return false;
         o.config.serial = v;
         return true;
       }},
      {"--interval",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 60000, x)) return false;
         o.config.reportIntervalMs = static_cast<std::uint32_t>(x);
         return true;
       }},
      {"--flights",
       [&](const std::string& v) {
         o.flights.clear();
         if (v == "none") return true;
         if (v == "samples") {
           for (const auto& profile : sim::SampleFlightProfiles()) o.flights.push_back(profile.name);
           return true;
         }
         if (v == "full") {
           o.flights = {"full"};
           return true;
         }
         for (std::size_t start = 0; start <= v.size();) {
           const std::size_t comma = std::min(v.find(',', start), v.size());
           const std::string name = v.substr(start, comma - start);
           if (!sim::FindSampleFlight(name)) return false;
           o.flights.push_back(name);
           start = comma + 1;
         }
         return true;
       }},
      {"--emulation-period",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 60000, x)) return false;
         o.emulationPeriodMs = static_cast<std::uint32_t>(x);
         return true;
       }},
      {"--adc",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 1023, x)) return false;
         o.adcCount = static_cast<std::uint16_t>(x);
         return true;
       }},
      {"--battery",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 0xFFFF, x)) return false;
         o.batteryTenths = static_cast<std::uint16_t>(x);
         return true;
       }},
      {"--settings-write-delay",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 60000, x)) return false;
         o.settingsWriteMs = static_cast<std::uint32_t>(x);
         return true;
       }},
      {"--slow-bootloader",
       [&](const std::string& v) {
         unsigned long x;
         if (!ParseNumber(v, 60000, x)) return false;
         o.bootloaderDelayMs = static_cast<std::uint32_t>(x);
         return true;
       }},
      {"--dump-memory", [&](const std::string& v) { o.dumpMemory = v; return !v.empty(); }},
      {"--programmed-image", [&](const std::string& v) { o.programmedImage = v; return !v.empty(); }},
      {"--withhold-accept", fault(SimFaultKind::WithholdAccept)},
      {"--withhold-reply", fault(SimFaultKind::WithholdReplies)},
      {"--end-early", fault(SimFaultKind::EndEarly)},
      {"--unplug-after", fault(SimFaultKind::UnplugAfter)},
      {"--replace-code",
       [&](const std::string& v) {
         const auto colon = v.find(':');
         unsigned long at, code;
         if (colon == std::string::npos || !ParseNumber(v.substr(0, colon), 0xFFFFFFFF, at) ||
             !ParseNumber(v.substr(colon + 1), 0xFF, code)) {
           return false;
         }
         o.faults.push_back({SimFaultKind::ReplaceCode, static_cast<std::uint32_t>(at), static_cast<std::uint8_t>(code)});
         return true;
       }},
  };

  for (std::size_t i = 0; i < args.size() && o.error.empty(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--refuse-open") o.config.refuseOpen = true;
    else if (a == "--unreadable-attributes") o.config.attributesUnreadable = true;
    else if (a == "--unplugged") o.startPlugged = false;
    else if (a == "--bad-settings-checksum") o.badSettingsChecksum = true;
    else if (auto it = valued.find(a); it != valued.end()) {
      if (i + 1 >= args.size()) o.error = a + " needs a value";
      else if (!it->second(args[++i])) o.error = "bad value for " + a + ": " + args[i];
    } else {
      o.error = "unknown option: " + a;
    }
  }
  return o;
}

void ApplyStateOptions(const AltimeterSimOptions& options, SimState& state) {
  state.emulationPeriodMs = options.emulationPeriodMs;
  state.settingsWriteMs = options.settingsWriteMs;
  state.bootloaderDelayMs = options.bootloaderDelayMs;
  if (options.adcCount) state.adcCount = *options.adcCount;
  if (options.batteryTenths) state.batteryTenths = *options.batteryTenths;
  if (options.badSettingsChecksum) ++state.settingsBlock[14];
}

}  // namespace tev
