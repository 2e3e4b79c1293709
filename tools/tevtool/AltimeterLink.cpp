#include "tools/tevtool/AltimeterLink.h"

#include <thread>

#include "model/Versions.h"
#include "sim/SimLinkBus.h"
#include "tools/tevtool/Tool.h"

#ifdef _WIN32
#include "device/win32/Win32HidBus.h"
#elif defined(__linux__)
#include "tools/tevtool/HidrawLink.h"
#endif

namespace tev::tool {
namespace {

// tevtool listens; altimeter-sim plugs in.
class SimLink : public AltimeterLink {
 public:
  explicit SimLink(std::uint16_t port) : port_(port) {}
  bool Listen() { return bus_.Listen(port_); }

  HidBus& Bus() override { return bus_; }
  void AwaitAltimeter(AltimeterDevice&, std::chrono::milliseconds wait, std::ostream& err) override {
    err << "waiting for an altimeter on 127.0.0.1:" << port_ << "\n";
    err.flush();
    const auto end = std::chrono::steady_clock::now() + wait;
    while (bus_.EnumerateInterfaces().empty() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  void ReportNotFound(std::ostream& err) override { Fail(err, "no altimeter found"); }
  std::string CannotOpenText(const std::wstring&) override { return "the altimeter is in use by another program"; }

 private:
  std::uint16_t port_;
  SimLinkBus bus_;
};

#ifdef _WIN32
// The altimeter must be plugged in already, as in the program's own dialogs.
class Win32Link : public AltimeterLink {
 public:
  HidBus& Bus() override { return bus_; }
  void AwaitAltimeter(AltimeterDevice&, std::chrono::milliseconds, std::ostream&) override {}
  void ReportNotFound(std::ostream& err) override { Fail(err, "no altimeter found"); }
  std::string CannotOpenText(const std::wstring&) override { return "the altimeter is in use by another program"; }

 private:
  win32::Win32HidBus bus_;
};
#endif

}  // namespace

std::unique_ptr<AltimeterLink> MakeAltimeterLink(std::optional<std::uint16_t> simPort, std::ostream& err) {
  if (simPort) {
    auto link = std::make_unique<SimLink>(*simPort);
    if (!link->Listen()) {
      Fail(err, "cannot listen on 127.0.0.1:" + std::to_string(*simPort));
      return nullptr;
    }
    return link;
  }
#ifdef _WIN32
  return std::make_unique<Win32Link>();
#elif defined(__linux__)
  return MakeHidrawLink(std::make_unique<hidraw::HidrawBus>());
#else
  Fail(err, "no HID bus on this system: use --sim PORT");
  return nullptr;
#endif
}

bool ConnectAltimeter(AltimeterDevice& device, AltimeterLink& link, std::chrono::milliseconds wait,
                      std::ostream& err) {
  link.AwaitAltimeter(device, wait, err);
  std::uint16_t version = 0;
  switch (device.Connect(Personality::Application, &version)) {
    case kConnected: return true;
    case kNotFound: link.ReportNotFound(err); return false;
    case kCannotOpen: Fail(err, link.CannotOpenText(device.devicePath)); return false;
    case kWrongVersion:
      Fail(err, "the altimeter's firmware " + Narrow(FormatVersion(version)) + " is not " +
                    Narrow(FormatVersionFamily(kFirmwareVersion)));
      return false;
    default: Fail(err, "the altimeter could not be connected"); return false;
  }
}

}  // namespace tev::tool
