#include "tools/tevtool/HidrawLink.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include "tools/tevtool/Tool.h"

namespace tev::tool {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(200);

class HidrawLink : public AltimeterLink {
 public:
  explicit HidrawLink(std::unique_ptr<hidraw::HidrawBus> bus) : bus_(std::move(bus)) {}

  HidBus& Bus() override { return *bus_; }

  // The wait and its outcome share one line, so that a run without an altimeter ends in exactly
  // one line of explanation while a user at a terminal still sees what it waits for.
  void AwaitAltimeter(AltimeterDevice& device, std::chrono::milliseconds wait, std::ostream& err) override {
    if (Present(device)) return;
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(wait).count();
    err << "tevtool: waiting up to " << seconds << " s for an altimeter on USB...";
    err.flush();
    lineOpen_ = true;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPollInterval, end - std::chrono::steady_clock::now()));
      if (Present(device)) {
        err << " found\n";
        err.flush();
        lineOpen_ = false;
        return;
      }
    }
  }

  void ReportNotFound(std::ostream& err) override {
    if (!lineOpen_) {
      Fail(err, "no altimeter found");
      return;
    }
    err << " no altimeter found\n";
    err.flush();
    lineOpen_ = false;
  }

  std::string CannotOpenText(const std::wstring& path) override {
    const std::optional<hidraw::HidrawInterface> found = bus_->Describe(path);
    const std::string where = found ? "the altimeter at " + found->node : "the altimeter";
    switch (const int error = bus_->LastOpenError()) {
      case EACCES:
      case EPERM:
        return "no permission to open " + where +
               ": install the udev rule tools/linux/70-tev-altimeter.rules (README.md, \"Linux\"), then plug the "
               "altimeter in again";
      case EBUSY: return where + " is in use by another program";
      default: return "cannot open " + where + ": " + std::strerror(error);
    }
  }

 private:
  bool Present(AltimeterDevice& device) { return !device.FindDevices(kApplicationProductId, 0, 0).empty(); }

  std::unique_ptr<hidraw::HidrawBus> bus_;
  bool lineOpen_ = false;  // the waiting line still wants its end
};

}  // namespace

std::unique_ptr<AltimeterLink> MakeHidrawLink(std::unique_ptr<hidraw::HidrawBus> bus) {
  return std::make_unique<HidrawLink>(std::move(bus));
}

}  // namespace tev::tool
