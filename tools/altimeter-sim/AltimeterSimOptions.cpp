#include "tools/altimeter-sim/AltimeterSimOptions.h"

#include <algorithm>
#include <functional>
#include <map>

#include "model/UnsignedNumber.h"
#include "sim/FlightModel.h"
#include "sim/SimPath.h"
#include "tools/common/Arguments.h"

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

// Numbers here may be written as 0x.. hexadecimal, as version words and ids usually are.
std::optional<std::uint32_t> ReadNumber(const std::string& text, std::uint32_t max) {
  const auto value = ReadUnsigned(text, max, NumberBase::DecimalOrHex);
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

template <class T>
struct NumberOf {
  using type = T;
};
template <class T>
struct NumberOf<std::optional<T>> {
  using type = T;
};

// An option that sets one number field (or an optional one), at most max, which the field holds.
template <class Field>
std::function<bool(const std::string&)> NumberInto(Field& field, std::uint32_t max) {
  return [&field, max](const std::string& v) {
    const auto value = ReadNumber(v, max);
    if (value) field = static_cast<typename NumberOf<Field>::type>(*value);
    return value.has_value();
  };
}

}  // namespace

AltimeterSimOptions ParseAltimeterSimOptions(const std::vector<std::string>& args, const char* envPort) {
  AltimeterSimOptions o;
  if (envPort && *envPort) {
    std::string problem;
    o.port = ParseSimPort(envPort, problem);
    if (!problem.empty()) o.error = "TEV_SIM_PORT is not a port number: " + std::string(envPort);
  }

  auto fault = [&o](SimFaultKind kind) {
    return [&o, kind](const std::string& v) {
      const auto at = ReadNumber(v, 0xFFFFFFFF);
      if (at) o.faults.push_back({kind, *at, 0});
      return at.has_value();
    };
  };
  const std::map<std::string, std::function<bool(const std::string&)>> valued = {
      {"--port",
       [&](const std::string& v) {
         const auto port = ReadPort(v, NumberBase::DecimalOrHex);
         if (port) o.port = *port;
         return port.has_value();
       }},
      {"--personality",
       [&](const std::string& v) {
         if (v == "application") o.config.personality = Personality::Application;
         else if (v == "bootloader") o.config.personality = Personality::Bootloader;
         else return false;
         return true;
       }},
      {"--firmware-version", NumberInto(o.config.firmwareVersion, 0xFFFF)},
      {"--bootloader-version", NumberInto(o.config.bootloaderVersion, 0xFFFF)},
      {"--hardware-version", NumberInto(o.config.hardwareVersion, 0xFFFF)},
      {"--vendor-id", NumberInto(o.config.vendorId, 0xFFFF)},
      {"--product-id", NumberInto(o.config.productId, 0xFFFF)},
      {"--serial",
       [&](const std::string& v) {
         if (!IsValidSimSerial(v)) return false;
         o.config.serial = v;
         return true;
       }},
      {"--interval", NumberInto(o.config.reportIntervalMs, 60000)},
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
      {"--emulation-period", NumberInto(o.emulationPeriodMs, 60000)},
      {"--adc", NumberInto(o.adcCount, 1023)},
      {"--battery", NumberInto(o.batteryTenths, 0xFFFF)},
      {"--settings-write-delay", NumberInto(o.settingsWriteMs, 60000)},
      {"--slow-bootloader", NumberInto(o.bootloaderDelayMs, 60000)},
      {"--dump-memory", [&](const std::string& v) { o.dumpMemory = v; return !v.empty(); }},
      {"--programmed-image", [&](const std::string& v) { o.programmedImage = v; return !v.empty(); }},
      {"--withhold-accept", fault(SimFaultKind::WithholdAccept)},
      {"--withhold-reply", fault(SimFaultKind::WithholdReplies)},
      {"--end-early", fault(SimFaultKind::EndEarly)},
      {"--unplug-after", fault(SimFaultKind::UnplugAfter)},
      {"--replace-code",
       [&](const std::string& v) {
         const auto colon = v.find(':');
         if (colon == std::string::npos) return false;
         const auto at = ReadNumber(v.substr(0, colon), 0xFFFFFFFF), code = ReadNumber(v.substr(colon + 1), 0xFF);
         if (at && code) o.faults.push_back({SimFaultKind::ReplaceCode, *at, static_cast<std::uint8_t>(*code)});
         return at && code;
       }},
  };

  const auto kindOf = [&valued](const std::string& a) {
    if (valued.count(a)) return ArgumentKind::Valued;
    return a == "--help" || a == "-h" || a == "--refuse-open" || a == "--unreadable-attributes" || a == "--unplugged" ||
                   a == "--bad-settings-checksum"
               ? ArgumentKind::Switch
               : ArgumentKind::Positional;
  };
  for (const Argument<std::string>& argument : ReadArguments(args, kindOf)) {
    if (!o.error.empty()) break;
    const std::string& a = argument.text;
    if (argument.kind == ArgumentKind::Positional) o.error = "unknown option: " + a;
    else if (argument.kind == ArgumentKind::Valued) {
      if (!argument.value) o.error = a + " needs a value";
      else if (!valued.at(a)(*argument.value)) o.error = "bad value for " + a + ": " + *argument.value;
    } else if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--refuse-open") o.config.refuseOpen = true;
    else if (a == "--unreadable-attributes") o.config.attributesUnreadable = true;
    else if (a == "--unplugged") o.startPlugged = false;
    else o.badSettingsChecksum = true;
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
