// tevtool download [-o DIR] [--sim PORT]: every flight of an altimeter in application mode, each
// saved as a data file in DIR, with a progress line per packet on standard error.
#include <memory>

#include "device/AltimeterDevice.h"
#include "device/Download.h"
#include "model/WidePath.h"
#include "sim/SimPort.h"
#include "tools/tevtool/AltimeterLink.h"
#include "tools/tevtool/CommandLine.h"
#include "tools/tevtool/SaveFlights.h"
#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

class ProgressLines : public DownloadObserver {
 public:
  explicit ProgressLines(std::ostream& err) : err_(err) {}
  void OnPacketProgress(int packetIndex, bool live, bool newFlight) override {
    if (live) {
      if (newFlight) ++flights_;
      return;
    }
    err_ << "packet " << packetIndex << " read (flight " << flights_ << ")\n";
    err_.flush();
  }

 private:
  std::ostream& err_;
  int flights_ = 0;
};

std::string ResultText(int result) {
  switch (result) {
    case kNoReply: return "the altimeter stopped answering";
    case kCancelled: return "the download was cancelled";
    case kProtocolError: return "the altimeter answered out of turn";
    case kSendFailed: return "the altimeter did not take a command";
    default: return "the download failed";
  }
}

}  // namespace

int RunDownload(const Args& args, std::ostream& out, std::ostream& err) {
  const auto line = CommandLine::Parse(args, {{L"-o"}, {L"--sim"}}, 0, "usage: tevtool download [-o DIR] [--sim PORT]", err);
  if (!line) return 1;
  const std::wstring folder = line->Value(L"-o").value_or(L".");
  const auto portText = line->Value(L"--sim");
  const std::optional<std::uint16_t> port = portText ? ReadPort(*portText) : std::nullopt;
  if (portText && !port) return Fail(err, "--sim needs a port number, not " + Narrow(*portText));
  std::error_code ec;
  if (!std::filesystem::is_directory(ToFsPath(folder), ec)) return Fail(err, Narrow(folder) + " is not a folder");

  std::unique_ptr<AltimeterLink> link = MakeAltimeterLink(port, err);
  if (!link) return 1;
  AltimeterDevice device(link->Bus());
  if (!ConnectAltimeter(device, *link, kAttachWait, err)) return 1;

  // The settings image in force goes into every data file, as the program saves it.
  if (const int r = device.ReadSettings(); r != kOk)
    return Fail(err, "reading the settings failed: " + ResultText(r) + " (" + std::to_string(r) + ")");

  ProgressLines progress(err);
  const int result = device.DownloadPackets(progress);
  const SavedFlights flights = SaveFlights(device.packets, device.settings, folder, result == kOk, out, err);
  const int saved = flights.saved;
  err << device.packets.size() << " packets read, " << saved << (saved == 1 ? " flight" : " flights") << " saved in "
      << Narrow(folder) << "\n";
  err.flush();
  if (result != kOk) {
    const std::string partial = PartialFlightText(flights);
    return Fail(err, "download failed after " + std::to_string(device.packets.size()) + " packets: " +
                         ResultText(result) + " (" + std::to_string(result) + ")" + (partial.empty() ? "" : "; " + partial));
  }
  return flights.failed == 0 ? 0 : 1;
}

}  // namespace tev::tool
