// The simulated altimeter for the page's stand-in device (tests and the try-it page): the
// stand-in hands it each output report and delivers the input reports it answers with, paced
// as the device paces them.
#include <emscripten.h>

#include <memory>
#include <string>

#include "model/DebugLog.h"
#include "sim/FlightModel.h"
#include "sim/SimAltimeter.h"
#include "sim/SimFlightCommands.h"

namespace {

std::unique_ptr<tev::SimAltimeter> device;
tev::SimReaction reaction;

}  // namespace

extern "C" {

// A fresh device holding the four sample flights, as altimeter-sim holds them by default;
// unplugAfter >= 0 unplugs it once that many input reports have gone out.
EMSCRIPTEN_KEEPALIVE void sim_create(int unplugAfter) {
  tev::SetDebugLogSink(nullptr);  // the device's diagnostics are the host's, not ours
  device = std::make_unique<tev::SimAltimeter>();
  const tev::sim::FlightSettings settings = tev::sim::FlightSettings::FromImage(device->State().settingsBlock);
  tev::LoadFlightMemory(device->State(), tev::sim::RecordMemory(tev::sim::SampleFlightProfiles(), settings));
  if (unplugAfter >= 0)
    device->InjectFault({tev::SimFaultKind::UnplugAfter, static_cast<std::uint32_t>(unplugAfter), 0});
}

// The launch emulation's pace: one reading asked for every `ms` (100 in flight).
EMSCRIPTEN_KEEPALIVE void sim_set_emulation_period(int ms) {
  if (device && ms > 0) device->State().emulationPeriodMs = static_cast<std::uint32_t>(ms);
}

// How often the device has been reset: an emulation ends with one.
EMSCRIPTEN_KEEPALIVE int sim_resets() { return device ? device->State().resets : 0; }

EMSCRIPTEN_KEEPALIVE int sim_vendor_id() { return device ? device->Attributes().VendorID : 0; }
EMSCRIPTEN_KEEPALIVE int sim_product_id() { return device ? device->Attributes().ProductID : 0; }

// One output report, report id byte first: whether the device took it.
EMSCRIPTEN_KEEPALIVE int sim_output(const std::uint8_t* report, int length) {
  if (!device) return 0;
  reaction = device->OnOutputReport(report, static_cast<std::size_t>(length));
  return reaction.accepted ? 1 : 0;
}

// The input reports of the last output's reaction.
EMSCRIPTEN_KEEPALIVE int sim_input_count() { return static_cast<int>(reaction.inputs.size()); }
EMSCRIPTEN_KEEPALIVE int sim_input_delay(int i) { return static_cast<int>(reaction.inputs[i].delayMs); }
EMSCRIPTEN_KEEPALIVE int sim_input_unplug(int i) { return reaction.inputs[i].unplug ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int sim_input_length(int i) { return static_cast<int>(reaction.inputs[i].report.size()); }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* sim_input_bytes(int i) { return reaction.inputs[i].report.data(); }

}  // extern "C"
