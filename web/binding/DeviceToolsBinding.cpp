// Device Settings and Control Device for the page: the dialogs' own workers, run on the page's
// one AltimeterDevice, their status lines and warnings handed to the page as they come.
#include <emscripten.h>

#include <sstream>
#include <string>

#include "tools/tevtool/Tool.h"
#include "ui/logic/ControlWorkers.h"
#include "resources/ResourceIds.h"
#include "ui/logic/SettingsWorkers.h"
#include "web/binding/PageDevice.h"

namespace {

EM_JS(void, tev_js_warn, (unsigned stringId), {
  if (Module.onWarn) Module.onWarn(stringId);
});

class PageHost : public tev::SettingsDialogHost {
 public:
  void AppendStatus(const std::wstring& text) override { tev::web::ShowDeviceStatus(tev::tool::Narrow(text)); }
  void RefreshControls(bool) override {}
  void RenderPlot() override {}
  void EnableRead() override {}
  void ShowSettings() override {}
  void Warn(unsigned stringId) override { tev_js_warn(stringId); }
  void ShowStatusNow() override {}
};

// Entries one a line: line A's mode (-1 for none), Time and Alt texts, the same for line B, then
// the inhibit text.
std::string EntryLines(const tev::SettingsEntries& e) {
  auto mode = [](const std::optional<tev::LineMode>& m) { return std::to_string(m ? static_cast<int>(*m) : -1); };
  const auto narrow = [](const std::wstring& text) { return tev::tool::Narrow(text); };
  return mode(e.lineA.mode) + '\n' + narrow(e.lineA.timeText) + '\n' + narrow(e.lineA.altitudeText) + '\n' +
         mode(e.lineB.mode) + '\n' + narrow(e.lineB.timeText) + '\n' + narrow(e.lineB.altitudeText) + '\n' +
         narrow(e.inhibitText);
}

tev::SettingsEntries ParseEntries(const char* text) {
  std::istringstream in(text);
  std::string fields[7];
  for (std::string& field : fields) std::getline(in, field);
  auto mode = [](const std::string& m) -> std::optional<tev::LineMode> {
    if (m.size() != 1 || m[0] < '0' || m[0] > '3') return std::nullopt;
    return static_cast<tev::LineMode>(m[0] - '0');
  };
  const auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
  tev::SettingsEntries e;
  e.lineA = {mode(fields[0]), wide(fields[1]), wide(fields[2])};
  e.lineB = {mode(fields[3]), wide(fields[4]), wide(fields[5])};
  e.inhibitText = wide(fields[6]);
  return e;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* tev_settings_entries() {
  static std::string entries;
  entries = EntryLines(tev::EntriesFromSettings(tev::web::Device().settings));
  return entries.c_str();
}

EMSCRIPTEN_KEEPALIVE int tev_settings_read() {
  PageHost host;
  return tev::ReadSettingsWork(tev::web::Device(), host);
}

EMSCRIPTEN_KEEPALIVE int tev_settings_write(const char* entries) {
  PageHost host;
  return tev::WriteSettingsWork(tev::web::Device(), host, ParseEntries(entries));
}

EMSCRIPTEN_KEEPALIVE int tev_calibrate(const char* groundAltitude, const char* entries) {
  PageHost host;
  const std::string text = groundAltitude;
  const auto altitude = tev::ReadGroundAltitude(std::wstring(text.begin(), text.end()));
  if (!altitude) {
    host.Warn(IDS_ENTER_ALTITUDE);
    return -1;
  }
  tev::CalibrateWork(tev::web::Device(), host, *altitude, ParseEntries(entries));
  return 0;
}

// 0 Read Pressure, 1 Read Battery Voltage, 2 Fire lines for 2 seconds.
EMSCRIPTEN_KEEPALIVE void tev_control(int operation) {
  PageHost host;
  tev::AltimeterDevice& device = tev::web::Device();
  switch (operation) {
    case 0: tev::ReadPressureWork(device, host); break;
    case 1: tev::ReadBatteryWork(device, host); break;
    case 2: tev::FireLinesWork(device, host); break;
    default: break;
  }
}

}  // extern "C"
