// The page's reach into the program: the connect sequence, the Capture Data steps, and the
// figures of tevtool stats on the module's in-memory files. Texts come back as UTF-8.
#include <emscripten.h>

#include <sstream>
#include <string>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"
#include "plot/PlotView.h"
#include "plot/SvgCanvas.h"
#include "tools/tevtool/Tool.h"
#include "ui/logic/CaptureText.h"
#include "ui/logic/ConnectSequence.h"
#include "web/binding/PageDevice.h"

namespace {

EM_JS(void, tev_js_progress, (int packetIndex, int live, int newFlight), {
  if (Module.onDownloadProgress) Module.onDownloadProgress(packetIndex, live !== 0, newFlight !== 0);
});

EM_JS(void, tev_js_live, (const char* svg), {
  if (Module.onLiveTrace) Module.onLiveTrace(UTF8ToString(svg));
});

using tev::web::Device;

std::string& Text() {
  static std::string text;
  return text;
}

const char* Give(std::string text) {
  Text() = std::move(text);
  return Text().c_str();
}

std::string Utf8(const std::wstring& text) { return tev::tool::Narrow(text); }

// Progress of a download, and its live trace drawn by the window's painter at most every 100 ms.
class PageDownload : public tev::DownloadObserver {
 public:
  void OnPacketProgress(int packetIndex, bool live, bool newFlight) override {
    tev::AltimeterDevice& device = Device();
    if (newFlight) {
      nextSetBegun = true;
      tev::ResetLiveTrace(device.liveSet);
    } else if (!live) {
      nextSetBegun = false;
    }
    tev_js_progress(packetIndex, live, newFlight);
    const double now = emscripten_get_now();
    if (live && now - lastPaint_ >= 100) {
      lastPaint_ = now;
      PaintLive();
    }
  }
  void PaintLive() {
    tev::AltimeterDevice& device = Device();
    tev::SvgCanvas canvas(device.plotScale.width, device.plotScale.height);
    tev::PaintLiveTrace(canvas, device.liveSet, device.plotScale);
    tev_js_live(canvas.Document().c_str());
  }
  bool nextSetBegun = false;

 private:
  double lastPaint_ = -1000;
};

bool downloadFailed = false;
std::string toolOutput, toolErrors;
bool nextSetBegunAtEnd = false;

}  // namespace

extern "C" {

// Device link. Results are the device operations' codes (0 success, negative failure).
// The dialogs' connect sequence; its status lines are read with tev_text().
EMSCRIPTEN_KEEPALIVE int tev_connect() {
  tev::AltimeterDevice& device = Device();
  if (device.IsOpen()) device.Close();
  std::wstring lines;
  tev::ConnectSequence(device, [&lines](const std::wstring& text) { lines += text; });
  Text() = Utf8(lines);
  return device.IsOpen() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* tev_text() { return Text().c_str(); }

EMSCRIPTEN_KEEPALIVE void tev_disconnect() { Device().Close(); }

// The diagnostic lines to the browser's console (on) or nowhere.
EMSCRIPTEN_KEEPALIVE void tev_debug_log(int on) {
  tev::SetDebugLogSink(on ? tev::StandardOutputSink() : nullptr);
}

EMSCRIPTEN_KEEPALIVE int tev_is_open() { return Device().IsOpen() ? 1 : 0; }

// Read Data: the settings image the saved files carry, then the memory, packet by packet.
EMSCRIPTEN_KEEPALIVE int tev_read_data(int liveWidth, int liveHeight) {
  tev::AltimeterDevice& device = Device();
  downloadFailed = false;
  device.plotScale.width = liveWidth;
  device.plotScale.height = liveHeight;
  tev::ResetLiveTrace(device.liveSet);
  int result = device.ReadSettings();
  PageDownload observer;
  if (result == tev::kOk) {
    result = device.DownloadPackets(observer);
    observer.PaintLive();
  }
  downloadFailed = result != tev::kOk;
  nextSetBegunAtEnd = observer.nextSetBegun;
  return result;
}

EMSCRIPTEN_KEEPALIVE int tev_packet_count() { return static_cast<int>(Device().packets.size()); }
EMSCRIPTEN_KEEPALIVE int tev_set_count() { return tev::CountSets(Device().packets); }
EMSCRIPTEN_KEEPALIVE int tev_set_packets(int set) { return tev::CountSetPackets(Device().packets, set); }

// The set a failed download may have cut off, -1 for none.
EMSCRIPTEN_KEEPALIVE int tev_incomplete_set() {
  if (!downloadFailed) return -1;
  return tev::IncompleteSet(Device().packets, nextSetBegunAtEnd).value_or(-1);
}

EMSCRIPTEN_KEEPALIVE const char* tev_incomplete_line() {
  if (!downloadFailed) return Give("");
  return Give(Utf8(tev::IncompleteSetLine(Device().packets, nextSetBegunAtEnd).value_or(L"")));
}

// Writes one set of what the device holds (downloaded or opened) to a file of the module's.
EMSCRIPTEN_KEEPALIVE int tev_save_set(int set, const char* path) {
  tev::AltimeterDevice& device = Device();
  return tev::SaveDataSetFile(device.packets, device.settings, set, tev::Utf8ToWide(path)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int tev_save_csv(int set, const char* path) {
  tev::AltimeterDevice& device = Device();
  return tev::ExportCsv(device.packets, device.settings, device.currentSet, set, tev::Utf8ToWide(path)) ? 1 : 0;
}

// File > Open: all or nothing, as the window loads a file.
EMSCRIPTEN_KEEPALIVE int tev_open_file(const char* path) {
  tev::AltimeterDevice& device = Device();
  return tev::LoadDataSetFile(tev::Utf8ToWide(path), device.packets, device.settings) ? 1 : 0;
}

// `tevtool stats` with these arguments (one a line); its output and errors are read afterwards.
EMSCRIPTEN_KEEPALIVE int tev_stats(const char* lines) {
  tev::tool::Args args;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) args.push_back(tev::Utf8ToWide(line));
  std::ostringstream out, err;
  const int status = tev::tool::RunStats(args, out, err);
  toolOutput = out.str();
  toolErrors = err.str();
  return status;
}

EMSCRIPTEN_KEEPALIVE const char* tev_tool_output() { return toolOutput.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* tev_tool_errors() { return toolErrors.c_str(); }

}  // extern "C"
