// Emulate Launch for the page: the flight on display replayed to the device by the Control Device
// dialog's own worker, its status lines handed to the page as they come, not at the end.
#include <emscripten.h>

#include <sstream>
#include <string>
#include <string_view>

#include "device/LaunchEmulation.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"
#include "tools/tevtool/FlightFile.h"
#include "tools/tevtool/Tool.h"
#include "ui/logic/ControlWorkers.h"
#include "web/binding/PageDevice.h"

namespace {

class PageEmulation : public tev::ControlDialogHost, public tev::EmulationObserver {
 public:
  void AppendStatus(const std::wstring& text) override { tev::web::ShowDeviceStatus(tev::tool::Narrow(text)); }
  void RefreshControls(bool) override {}
  void RenderPlot() override {}
  void OnEmulationEvent(int code, int sampleIndex) override {
    if (const auto line = tev::EmulationEventLine(code, sampleIndex)) AppendStatus(*line);
  }
};

}  // namespace

extern "C" {

// Replays set `set` of the data file at `path` (the flight on display). -1, with the reason as a
// status line, when the file no longer gives that flight.
EMSCRIPTEN_KEEPALIVE int tev_emulate(const char* path, int set) {
  tev::AltimeterDevice& device = tev::web::Device();
  std::ostringstream problem;
  tev::tool::FlightFile flight;
  if (!tev::tool::LoadFlightFile(tev::Utf8ToWide(path), flight, problem) ||
      !tev::tool::CheckSetExists(flight, set, problem)) {
    tev::web::ShowDeviceStatus(problem.str());
    return -1;
  }
  device.currentSet = flight.Build(set);
  PageEmulation page;
  // A stop shows nothing in the window, which closes; the page stays, so it says the stop was
  // honoured, where the device code logs it.
  tev::DebugLogSink log;
  log = tev::SetDebugLogSink([&log](std::string_view line) {
    if (line == tev::kUserEndedEmulation) tev::web::ShowDeviceStatus(line);
    if (log) log(line);
  });
  tev::EmulateWork(device, page, page);
  tev::SetDebugLogSink(log);
  return 0;
}

// Stops a running emulation at the device's next request for a reading, as closing the dialog
// does. Called while tev_emulate waits on the device: it only sets the flag.
EMSCRIPTEN_KEEPALIVE void tev_emulation_stop() { tev::web::Device().cancelRequested = true; }

}  // extern "C"
